// The picture registry: the embedded PNG files under their keys. Kept apart
// from "drawImage" so that programs which never register pictures do not
// link the embedded data.
#include "calls.h"
#include "embedded_assets.h"
#include "images.h"

namespace {

struct PictureRow {
  const char* file;
  const char* key;
};

constexpr PictureRow pictures[] = {
    {"delay_chrono.png", "DELAY_CHRONO"}, {"ezfx.png", "EZFX"},
    {"fx.png", "FX"},                     {"mixer_rear.png", "REAR"},
    {"reverb_atom.png", "REVERB_ATOM"},   {"screen.png", "SETUP_SCREEN"},
    {"panel_cropped.png", "SETUP_PANEL_CROP"}, {"panel.png", "SETUP_PANEL"},
    {"blendPilot.png", "SETUP_ICON"},     {"mic_SM7B.png", "SM7B"},
    {"mic_KX-20.png", "KX_20"},           {"mic_KX-30.png", "KX_30"},
    {"mic_KX-40.png", "KX_40"},           {"faders.png", "SETUP_FADERS"},
    {"inst.png", "INST"},                 {"line.png", "LINE"},
    {"mic_condenser.png", "MIC_CONDENSER"}, {"mic_dynamic.png", "MIC_DYNAMIC"},
    {"qr_brellin.png", "QR"},             {"Varo_Studio.png", "VARO_STUDIO"},
};

}  // namespace

void registerEmbeddedImages(NVGcontext* vg, ImageRegistry& images) {
  for (const PictureRow& row : pictures) {
    const EmbeddedFile* file = findEmbeddedFile(embeddedImages(), row.file);
    int handle = file ? nvgCreateImageMem(vg, 0, const_cast<unsigned char*>(file->data), int(file->size)) : 0;
    images[nameHash64(row.key)] = ImageInfo{handle, -1, -1};
  }
}

void registerImages(CanvasContext& canvas) { registerEmbeddedImages(canvas.vg, canvas.images); }
