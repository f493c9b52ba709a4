// Small generated pictures and pixel access for the frame and watermark tests.
#pragma once

#include "engine/bitmap.h"

#include <cstdint>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace overlays_test
{

struct Pixel {
    int r = 0, g = 0, b = 0, a = 255;
};

// A w x h picture of `bpp` bits (8 grey, 24, 32) filled with one colour (alpha 255).
inline engine::Bitmap solidPicture(int w, int h, int bpp, int r, int g, int b, int a = 255)
{
    engine::Bitmap out(FreeImage_Allocate(w, h, bpp == 8 ? 8 : bpp, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                          FI_RGBA_BLUE_MASK));
    if (!out)
        return out;
    if (bpp == 8) {
        RGBQUAD* pal = FreeImage_GetPalette(out.get());
        for (int i = 0; i < 256; ++i)
            pal[i].rgbRed = pal[i].rgbGreen = pal[i].rgbBlue = static_cast<BYTE>(i);
    }
    for (int y = 0; y < h; ++y) {
        BYTE* p = FreeImage_GetScanLine(out.get(), y);
        for (int x = 0; x < w; ++x) {
            if (bpp == 8) {
                p[x] = static_cast<BYTE>(r);
                continue;
            }
            BYTE* q = p + x * (bpp / 8);
            q[FI_RGBA_RED] = static_cast<BYTE>(r);
            q[FI_RGBA_GREEN] = static_cast<BYTE>(g);
            q[FI_RGBA_BLUE] = static_cast<BYTE>(b);
            if (bpp == 32)
                q[FI_RGBA_ALPHA] = static_cast<BYTE>(a);
        }
    }
    return out;
}

// The pixel at (x, y), origin top-left, of a 24- or 32-bit bitmap.
inline Pixel pixelAt(FIBITMAP* b, int x, int y)
{
    const int h = static_cast<int>(FreeImage_GetHeight(b));
    const int step = static_cast<int>(FreeImage_GetBPP(b)) / 8;
    const BYTE* q = FreeImage_GetScanLine(b, h - 1 - y) + x * step;
    return Pixel{q[FI_RGBA_RED], q[FI_RGBA_GREEN], q[FI_RGBA_BLUE], step == 4 ? q[FI_RGBA_ALPHA] : 255};
}

inline void setPixel(FIBITMAP* b, int x, int y, Pixel p)
{
    const int h = static_cast<int>(FreeImage_GetHeight(b));
    const int step = static_cast<int>(FreeImage_GetBPP(b)) / 8;
    BYTE* q = FreeImage_GetScanLine(b, h - 1 - y) + x * step;
    q[FI_RGBA_RED] = static_cast<BYTE>(p.r);
    q[FI_RGBA_GREEN] = static_cast<BYTE>(p.g);
    q[FI_RGBA_BLUE] = static_cast<BYTE>(p.b);
    if (step == 4)
        q[FI_RGBA_ALPHA] = static_cast<BYTE>(p.a);
}

// A fresh folder (per process) for the files a test writes; the caller removes it.
inline std::filesystem::path scratchFolder(const std::string& name)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("pixelvane-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

} // namespace overlays_test
