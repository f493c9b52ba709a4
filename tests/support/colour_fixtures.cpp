#include "support/colour_fixtures.h"

namespace fixtures {

engine::Bitmap solidBitmap(int width, int height, int bpp, settings::Rgb colour)
{
    engine::Bitmap image(FreeImage_Allocate(width, height, bpp));
    if (!image) return image;
    RGBQUAD q{colour.b, colour.g, colour.r, 255};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) FreeImage_SetPixelColor(image.get(), x, y, &q);
    return image;
}

engine::Bitmap patternBitmap(int width, int height)
{
    engine::Bitmap image(FreeImage_Allocate(width, height, 24));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            RGBQUAD q{static_cast<BYTE>(x + y), static_cast<BYTE>(7 * y + 2), static_cast<BYTE>(5 * x + 1),
                      0};
            FreeImage_SetPixelColor(image.get(), x, y, &q);
        }
    return image;
}

engine::Bitmap rgb16Bitmap(int width, int height, std::uint16_t r, std::uint16_t g, std::uint16_t b)
{
    engine::Bitmap image(FreeImage_AllocateT(FIT_RGB16, width, height, 48));
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(image.get(), y));
        for (int x = 0; x < width; ++x) row[x] = FIRGB16{r, g, b};
    }
    return image;
}

engine::Bitmap greyRamp(int height, std::initializer_list<std::uint8_t> levels)
{
    const int width = static_cast<int>(levels.size());
    engine::Bitmap image(FreeImage_Allocate(width, height, 8));
    RGBQUAD* palette = FreeImage_GetPalette(image.get());
    for (int i = 0; i < 256; ++i) palette[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(image.get(), y);
        int x = 0;
        for (std::uint8_t level : levels) row[x++] = level;
    }
    return image;
}

settings::Rgb pixelAt(FIBITMAP* image, int x, int y)
{
    RGBQUAD q{};
    if (FreeImage_GetBPP(image) <= 8) {
        BYTE index = 0;
        FreeImage_GetPixelIndex(image, x, y, &index);
        q = FreeImage_GetPalette(image)[index];
    } else {
        FreeImage_GetPixelColor(image, x, y, &q);
    }
    return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

bool samePixels(FIBITMAP* a, FIBITMAP* b)
{
    const int w = static_cast<int>(FreeImage_GetWidth(a));
    const int h = static_cast<int>(FreeImage_GetHeight(a));
    if (w != static_cast<int>(FreeImage_GetWidth(b)) || h != static_cast<int>(FreeImage_GetHeight(b)))
        return false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!(pixelAt(a, x, y) == pixelAt(b, x, y))) return false;
    return true;
}

} // namespace fixtures
