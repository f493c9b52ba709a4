#include "engine/overlays.h"

#include "platform/drawing.h"

#include <algorithm>

namespace engine
{

Bitmap toTwentyFourBits(Bitmap image)
{
    if (!image)
        return image;
    if (FreeImage_GetImageType(image.get()) == FIT_BITMAP && FreeImage_GetBPP(image.get()) == 24)
        return image;
    Bitmap converted(FreeImage_ConvertTo24Bits(image.get()));
    if (!converted && FreeImage_GetImageType(image.get()) != FIT_BITMAP) {
        // Float and 16-bit grey pictures have no direct path to 24 bits; go through 8 bits per sample.
        Bitmap standard(FreeImage_ConvertToStandardType(image.get(), TRUE));
        if (standard)
            converted.reset(FreeImage_ConvertTo24Bits(standard.get()));
    }
    return converted;
}

Bitmap bitmapFromCanvas(const platform::Canvas& canvas)
{
    if (!canvas.valid())
        return {};
    const int w = canvas.width();
    const int h = canvas.height();
    Bitmap out(FreeImage_Allocate(w, h, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
    if (!out)
        return out;
    const platform::ChannelOrder order{FI_RGBA_RED, FI_RGBA_GREEN, FI_RGBA_BLUE, FI_RGBA_ALPHA};
    // FreeImage keeps its rows bottom-up.
    for (int y = 0; y < h; ++y)
        canvas.copyStraightRow(y, FreeImage_GetScanLine(out.get(), h - 1 - y), order);
    return out;
}

namespace
{

// round(x / 255) for 0 <= x <= 255 * 255, without a division.
inline unsigned divide255(unsigned x)
{
    x += 128;
    return (x + (x >> 8)) >> 8;
}

} // namespace

bool compositeOnto(FIBITMAP* picture, FIBITMAP* overlay, int x, int y, int opacity)
{
    if (!picture || !overlay)
        return true;
    const unsigned pictureBpp = FreeImage_GetBPP(picture);
    if (FreeImage_GetImageType(picture) != FIT_BITMAP || (pictureBpp != 24 && pictureBpp != 32) ||
        FreeImage_GetImageType(overlay) != FIT_BITMAP || FreeImage_GetBPP(overlay) != 32)
        return false;
    const int pw = static_cast<int>(FreeImage_GetWidth(picture));
    const int ph = static_cast<int>(FreeImage_GetHeight(picture));
    const int ow = static_cast<int>(FreeImage_GetWidth(overlay));
    const int oh = static_cast<int>(FreeImage_GetHeight(overlay));
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = static_cast<int>(std::min<long long>(static_cast<long long>(x) + ow, pw));
    const int bottom = static_cast<int>(std::min<long long>(static_cast<long long>(y) + oh, ph));
    if (left >= right || top >= bottom)
        return true;
    const unsigned fade = static_cast<unsigned>(std::clamp(opacity, 0, 255));
    if (fade == 0)
        return true;

    // The same "over" blend as FreeImage_Composite, done in place on the covered rows only and
    // rounded rather than truncated (so white over white stays white): a full-size canvas and
    // composite would cost two copies of the whole picture for a few thousand drawn pixels.
    const int step = static_cast<int>(pictureBpp / 8);
    for (int row = top; row < bottom; ++row) {
        // FreeImage rows are stored bottom-up.
        BYTE* dst = FreeImage_GetScanLine(picture, ph - 1 - row) + static_cast<std::ptrdiff_t>(left) * step;
        const BYTE* src =
            FreeImage_GetScanLine(overlay, oh - 1 - (row - y)) + static_cast<std::ptrdiff_t>(left - x) * 4;
        for (int col = left; col < right; ++col, dst += step, src += 4) {
            const unsigned a = fade == 255 ? src[FI_RGBA_ALPHA] : divide255(src[FI_RGBA_ALPHA] * fade);
            if (a == 0)
                continue;
            if (a == 255) {
                dst[FI_RGBA_RED] = src[FI_RGBA_RED];
                dst[FI_RGBA_GREEN] = src[FI_RGBA_GREEN];
                dst[FI_RGBA_BLUE] = src[FI_RGBA_BLUE];
                continue;
            }
            const unsigned na = 255 - a;
            dst[FI_RGBA_RED] = static_cast<BYTE>(divide255(src[FI_RGBA_RED] * a + dst[FI_RGBA_RED] * na));
            dst[FI_RGBA_GREEN] =
                static_cast<BYTE>(divide255(src[FI_RGBA_GREEN] * a + dst[FI_RGBA_GREEN] * na));
            dst[FI_RGBA_BLUE] = static_cast<BYTE>(divide255(src[FI_RGBA_BLUE] * a + dst[FI_RGBA_BLUE] * na));
        }
    }
    return true;
}

} // namespace engine
