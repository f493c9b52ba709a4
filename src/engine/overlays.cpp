#include "engine/overlays.h"

#include "platform/drawing.h"

#include <algorithm>

namespace engine {

Bitmap toTwentyFourBits(Bitmap image)
{
    if (!image) return image;
    if (FreeImage_GetImageType(image.get()) == FIT_BITMAP && FreeImage_GetBPP(image.get()) == 24) return image;
    Bitmap converted(FreeImage_ConvertTo24Bits(image.get()));
    if (!converted && FreeImage_GetImageType(image.get()) != FIT_BITMAP) {
        // Float and 16-bit grey pictures have no direct path to 24 bits; go through 8 bits per sample.
        Bitmap standard(FreeImage_ConvertToStandardType(image.get(), TRUE));
        if (standard) converted.reset(FreeImage_ConvertTo24Bits(standard.get()));
    }
    return converted;
}

Bitmap bitmapFromCanvas(const platform::Canvas& canvas)
{
    if (!canvas.valid()) return {};
    const int w = canvas.width();
    const int h = canvas.height();
    Bitmap out(FreeImage_Allocate(w, h, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
    if (!out) return out;
    const platform::ChannelOrder order{FI_RGBA_RED, FI_RGBA_GREEN, FI_RGBA_BLUE, FI_RGBA_ALPHA};
    // FreeImage keeps its rows bottom-up.
    for (int y = 0; y < h; ++y) canvas.copyStraightRow(y, FreeImage_GetScanLine(out.get(), h - 1 - y), order);
    return out;
}

bool compositeOnto(FIBITMAP* picture, FIBITMAP* overlay, int x, int y)
{
    if (!picture || !overlay) return true;
    const int pw = static_cast<int>(FreeImage_GetWidth(picture));
    const int ph = static_cast<int>(FreeImage_GetHeight(picture));
    const int ow = static_cast<int>(FreeImage_GetWidth(overlay));
    const int oh = static_cast<int>(FreeImage_GetHeight(overlay));
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = static_cast<int>(std::min<long long>(static_cast<long long>(x) + ow, pw));
    const int bottom = static_cast<int>(std::min<long long>(static_cast<long long>(y) + oh, ph));
    if (left >= right || top >= bottom) return true;

    // Composite just the covered region: a full-size transparent canvas would cost a copy of
    // the whole picture for a few thousand drawn pixels.
    Bitmap part;
    FIBITMAP* fg = overlay;
    if (left != x || top != y || right - left != ow || bottom - top != oh) {
        part.reset(FreeImage_Copy(overlay, left - x, top - y, right - x, bottom - y));
        if (!part) return false;
        fg = part.get();
    }
    Bitmap under(FreeImage_Copy(picture, left, top, right, bottom));
    if (!under) return false;
    Bitmap blended(FreeImage_Composite(fg, FALSE, nullptr, under.get()));
    if (!blended) return false;
    return FreeImage_Paste(picture, blended.get(), left, top, 256) == TRUE;
}

} // namespace engine
