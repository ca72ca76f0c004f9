#include "embedded_assets.h"

// Defined in embedded_assets.S.
extern "C" {
extern const unsigned char fontMaterialIcons[];
extern const std::size_t fontMaterialIconsSize;
extern const unsigned char fontLatinLight[];
extern const std::size_t fontLatinLightSize;
extern const unsigned char fontLatinRegular[];
extern const std::size_t fontLatinRegularSize;
extern const unsigned char fontLatinSemibold[];
extern const std::size_t fontLatinSemiboldSize;
extern const unsigned char fontAwesomeRegular[];
extern const std::size_t fontAwesomeRegularSize;
extern const unsigned char fontAwesomeSolid[];
extern const std::size_t fontAwesomeSolidSize;
extern const unsigned char fontIcons[];
extern const std::size_t fontIconsSize;
extern const unsigned char fontFallback[];
extern const std::size_t fontFallbackSize;
extern const unsigned char fontChineseLight[];
extern const std::size_t fontChineseLightSize;
extern const unsigned char fontChineseRegular[];
extern const std::size_t fontChineseRegularSize;
extern const unsigned char fontChineseMedium[];
extern const std::size_t fontChineseMediumSize;
extern const unsigned char fontKoreanLight[];
extern const std::size_t fontKoreanLightSize;
extern const unsigned char fontKoreanRegular[];
extern const std::size_t fontKoreanRegularSize;
extern const unsigned char fontKoreanMedium[];
extern const std::size_t fontKoreanMediumSize;
extern const unsigned char imageDelayChrono[];
extern const std::size_t imageDelayChronoSize;
extern const unsigned char imageEzfx[];
extern const std::size_t imageEzfxSize;
extern const unsigned char imageFx[];
extern const std::size_t imageFxSize;
extern const unsigned char imageMixerRear[];
extern const std::size_t imageMixerRearSize;
extern const unsigned char imageReverbAtom[];
extern const std::size_t imageReverbAtomSize;
extern const unsigned char imageScreen[];
extern const std::size_t imageScreenSize;
extern const unsigned char imagePanelCropped[];
extern const std::size_t imagePanelCroppedSize;
extern const unsigned char imagePanel[];
extern const std::size_t imagePanelSize;
extern const unsigned char imageBlendPilot[];
extern const std::size_t imageBlendPilotSize;
extern const unsigned char imageMicSm7b[];
extern const std::size_t imageMicSm7bSize;
extern const unsigned char imageMicKx20[];
extern const std::size_t imageMicKx20Size;
extern const unsigned char imageMicKx30[];
extern const std::size_t imageMicKx30Size;
extern const unsigned char imageMicKx40[];
extern const std::size_t imageMicKx40Size;
extern const unsigned char imageFaders[];
extern const std::size_t imageFadersSize;
extern const unsigned char imageInst[];
extern const std::size_t imageInstSize;
extern const unsigned char imageLine[];
extern const std::size_t imageLineSize;
extern const unsigned char imageMicCondenser[];
extern const std::size_t imageMicCondenserSize;
extern const unsigned char imageMicDynamic[];
extern const std::size_t imageMicDynamicSize;
extern const unsigned char imageQr[];
extern const std::size_t imageQrSize;
extern const unsigned char imageVaroStudio[];
extern const std::size_t imageVaroStudioSize;
}

std::span<const EmbeddedFile> embeddedFonts() {
  // Built on first use: the sizes are data, not constant expressions.
  static const EmbeddedFile fonts[] = {
      {"MaterialIcons.ttf", fontMaterialIcons, fontMaterialIconsSize},
      {"Proxima Nova Light.otf", fontLatinLight, fontLatinLightSize},
      {"Proxima Nova Regular.otf", fontLatinRegular, fontLatinRegularSize},
      {"Proxima Nova Semibold.otf", fontLatinSemibold, fontLatinSemiboldSize},
      {"fa-regular-400.ttf", fontAwesomeRegular, fontAwesomeRegularSize},
      {"fa-solid-900.ttf", fontAwesomeSolid, fontAwesomeSolidSize},
      {"icons.ttf", fontIcons, fontIconsSize},
      {"fallback.ttf", fontFallback, fontFallbackSize},
      {"NotoSans-Light.otf", fontChineseLight, fontChineseLightSize},
      {"NotoSans-Regular.otf", fontChineseRegular, fontChineseRegularSize},
      {"NotoSans-Medium.otf", fontChineseMedium, fontChineseMediumSize},
      {"NotoSansKR-Light.otf", fontKoreanLight, fontKoreanLightSize},
      {"NotoSansKR-Regular.otf", fontKoreanRegular, fontKoreanRegularSize},
      {"NotoSansKR-Medium.otf", fontKoreanMedium, fontKoreanMediumSize},
  };
  return fonts;
}

std::span<const EmbeddedFile> embeddedImages() {
  static const EmbeddedFile images[] = {
      {"delay_chrono.png", imageDelayChrono, imageDelayChronoSize},
      {"ezfx.png", imageEzfx, imageEzfxSize},
      {"fx.png", imageFx, imageFxSize},
      {"mixer_rear.png", imageMixerRear, imageMixerRearSize},
      {"reverb_atom.png", imageReverbAtom, imageReverbAtomSize},
      {"screen.png", imageScreen, imageScreenSize},
      {"panel_cropped.png", imagePanelCropped, imagePanelCroppedSize},
      {"panel.png", imagePanel, imagePanelSize},
      {"blendPilot.png", imageBlendPilot, imageBlendPilotSize},
      {"mic_SM7B.png", imageMicSm7b, imageMicSm7bSize},
      {"mic_KX-20.png", imageMicKx20, imageMicKx20Size},
      {"mic_KX-30.png", imageMicKx30, imageMicKx30Size},
      {"mic_KX-40.png", imageMicKx40, imageMicKx40Size},
      {"faders.png", imageFaders, imageFadersSize},
      {"inst.png", imageInst, imageInstSize},
      {"line.png", imageLine, imageLineSize},
      {"mic_condenser.png", imageMicCondenser, imageMicCondenserSize},
      {"mic_dynamic.png", imageMicDynamic, imageMicDynamicSize},
      {"qr_brellin.png", imageQr, imageQrSize},
      {"Varo_Studio.png", imageVaroStudio, imageVaroStudioSize},
  };
  return images;
}

const EmbeddedFile* findEmbeddedFile(std::span<const EmbeddedFile> files, std::string_view name) {
  for (const EmbeddedFile& file : files)
    if (file.name == name) return &file;
  return nullptr;
}
