#!/usr/bin/python3
"""Draws the twenty pictures the display server embeds.

    make_images.py OUTDIR

Each picture has its listed pixel size and shows its key on a gradient
inside a frame, so it can be told apart by eye. The colours follow one rule
that tests rely on, for a pixel (x, y) of a w x h picture:
  - outer ring (x or y at the very edge): white, alpha 12 (below a tenth);
  - second ring: the frame colour (32, 32, 32), alpha 128;
  - inside: red = 255 * x // (w - 1), green = 255 * y // (h - 1),
    blue = the picture's own value in BLUE, opaque;
  - the key's name in black over the middle, for pictures at least 60 x 20
    (in DejaVu Sans Bold from fonts-dejavu-core).
ezfx.png is a palette picture: its inside is 64 steps of red, green fixed
at 0; its rings use palette entries with the same alphas.
"""
import os
import sys

from PIL import Image, ImageDraw, ImageFont

KEY_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# file name, width, height, key, blue
PICTURES = [
    ("delay_chrono.png", 406, 46, "DELAY_CHRONO", 10),
    ("ezfx.png", 461, 498, "EZFX", 20),
    ("fx.png", 931, 456, "FX", 30),
    ("mixer_rear.png", 561, 177, "REAR", 40),
    ("reverb_atom.png", 383, 50, "REVERB_ATOM", 50),
    ("screen.png", 401, 238, "SETUP_SCREEN", 60),
    ("panel_cropped.png", 225, 172, "SETUP_PANEL_CROP", 70),
    ("panel.png", 561, 177, "SETUP_PANEL", 80),
    ("blendPilot.png", 60, 41, "SETUP_ICON", 90),
    ("mic_SM7B.png", 56, 49, "SM7B", 100),
    ("mic_KX-20.png", 55, 37, "KX_20", 110),
    ("mic_KX-30.png", 15, 49, "KX_30", 120),
    ("mic_KX-40.png", 13, 49, "KX_40", 130),
    ("faders.png", 401, 216, "SETUP_FADERS", 140),
    ("inst.png", 19, 57, "INST", 150),
    ("line.png", 9, 50, "LINE", 160),
    ("mic_condenser.png", 13, 43, "MIC_CONDENSER", 170),
    ("mic_dynamic.png", 13, 53, "MIC_DYNAMIC", 180),
    ("qr_brellin.png", 161, 161, "QR", 190),
    ("Varo_Studio.png", 266, 49, "VARO_STUDIO", 200),
]

EDGE = (255, 255, 255, 12)
FRAME = (32, 32, 32, 128)


def ringOf(x, y, w, h):
    return min(x, y, w - 1 - x, h - 1 - y)


def rgbaPicture(w, h, key, blue):
    image = Image.new("RGBA", (w, h))
    pixels = image.load()
    for y in range(h):
        for x in range(w):
            pixels[x, y] = (255 * x // (w - 1), 255 * y // (h - 1), blue, 255)
    if w >= 60 and h >= 20:
        writeKey(image, key, (0, 0, 0, 255))
    # The rings last, so that a long key never covers them.
    for y in range(h):
        for x in range(w):
            ring = ringOf(x, y, w, h)
            if ring < 2:
                pixels[x, y] = EDGE if ring == 0 else FRAME
    return image


def writeKey(image, key, fill):
    draw = ImageDraw.Draw(image)
    w, h = image.size
    size = max(8, min(h // 3, 48, 2 * w // max(1, len(key))))
    font = ImageFont.truetype(KEY_FONT, size)
    left, top, right, bottom = draw.textbbox((0, 0), key, font=font)
    draw.text(((w - (right - left)) // 2 - left, (h - (bottom - top)) // 2 - top), key, fill=fill, font=font)


def palettePicture(w, h, key, blue):
    # Entries 0-63: red steps, 64: edge, 65: frame, 66: text.
    palette, alpha = [], []
    for i in range(64):
        palette += [i * 255 // 63, 0, blue]
        alpha.append(255)
    palette += list(EDGE[:3]) + list(FRAME[:3]) + [0, 0, 0]
    alpha += [EDGE[3], FRAME[3], 255]
    image = Image.new("P", (w, h))
    image.putpalette(palette)
    pixels = image.load()
    for y in range(h):
        for x in range(w):
            ring = ringOf(x, y, w, h)
            pixels[x, y] = 64 if ring == 0 else 65 if ring == 1 else x * 63 // (w - 1)
    writeKey(image, key, 66)
    return image, bytes(alpha)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_images.py OUTDIR")
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    for name, w, h, key, blue in PICTURES:
        path = os.path.join(outdir, name)
        if name == "ezfx.png":
            image, alpha = palettePicture(w, h, key, blue)
            image.save(path, transparency=alpha, optimize=True)
        else:
            rgbaPicture(w, h, key, blue).save(path, optimize=True)


if __name__ == "__main__":
    main()
