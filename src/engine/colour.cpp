#include "engine/colour.h"

#include "engine/output_encoding.h"

namespace engine {

Bitmap correctColours(Bitmap image, const settings::AdjustmentSettings& s)
{
    if (!image || !s.doImageColorCorrection) return image;
    // FreeImage adjusts 8-, 24- and 32-bit bitmaps only; on anything else it would silently do
    // nothing, so such pictures are corrected as 24-bit images (and stay 24-bit from here on).
    const unsigned bpp = FreeImage_GetBPP(image.get());
    const bool adjustable =
        FreeImage_GetImageType(image.get()) == FIT_BITMAP && (bpp == 8 || bpp == 24 || bpp == 32);
    if (!adjustable) {
        image = convertTo24Bits(std::move(image));
        if (!image) return image;
    }
    FreeImage_AdjustColors(image.get(), static_cast<double>(s.imageBrightness),
                           static_cast<double>(s.imageContrast), static_cast<double>(s.imageGamma),
                           s.imageInvert != 0 ? TRUE : FALSE);
    return image;
}

Bitmap makeGreyscale(Bitmap image, const settings::AdjustmentSettings& s)
{
    if (!image || !s.doImageGreyscale) return image;
    // An 8-bit grey picture is already what this step makes; FreeImage would only copy it.
    if (FreeImage_GetBPP(image.get()) == 8 && FreeImage_GetColorType(image.get()) == FIC_MINISBLACK &&
        FreeImage_GetImageType(image.get()) == FIT_BITMAP)
        return image;
    if (FreeImage_GetImageType(image.get()) != FIT_BITMAP) {
        image = convertTo24Bits(std::move(image));
        if (!image) return image;
    }
    return Bitmap(FreeImage_ConvertToGreyscale(image.get()));
}

Bitmap applyThreshold(Bitmap image, const settings::AdjustmentSettings& s)
{
    if (!image || !s.doImageThreshold) return image;
    if (FreeImage_GetImageType(image.get()) != FIT_BITMAP) {
        image = convertTo24Bits(std::move(image));
        if (!image) return image;
    }
    // Only the low 8 bits of the stored level count, as settings files of earlier versions expect.
    const auto level = static_cast<BYTE>(s.imageThreshold & 0xFF);
    return Bitmap(FreeImage_Threshold(image.get(), level));
}

} // namespace engine
