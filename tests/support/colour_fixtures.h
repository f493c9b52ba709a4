// Small generated bitmaps for the tests of the image steps, and pixel readers. Coordinates are
// FreeImage's: row 0 is the bottom row of the picture.
#pragma once

#include "engine/bitmap.h"
#include "settings/conversion_settings.h"

#include <cstdint>

namespace fixtures {

// A 24- or 32-bit bitmap filled with one colour.
engine::Bitmap solidBitmap(int width, int height, int bpp, settings::Rgb colour);

// A 24-bit bitmap whose pixels all differ: red = 5x + 1, green = 7y + 2, blue = x + y.
engine::Bitmap patternBitmap(int width, int height);

// A 48-bit (16 bits per channel) bitmap filled with one colour.
engine::Bitmap rgb16Bitmap(int width, int height, std::uint16_t r, std::uint16_t g, std::uint16_t b);

// An 8-bit bitmap with a grey palette whose pixel (x, y) holds `levels[x]` in every row.
engine::Bitmap greyRamp(int height, std::initializer_list<std::uint8_t> levels);

// The colour of a pixel of a 1-, 4-, 8-, 16-, 24- or 32-bit standard bitmap.
settings::Rgb pixelAt(FIBITMAP* image, int x, int y);

// True when both bitmaps have the same size and every pixel the same colour.
bool samePixels(FIBITMAP* a, FIBITMAP* b);

} // namespace fixtures
