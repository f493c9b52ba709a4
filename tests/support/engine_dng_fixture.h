// Writer of small synthetic DNG files for tests, the benchmark and the demo: a 16-bit Bayer
// (RGGB) mosaic of a picture made of four known colour patches, optionally with an embedded
// JPEG preview and an EXIF orientation, make, model and capture time. LibRaw decodes them.
#pragma once

#include <cstdint>
#include <string>

namespace fixtures {

// The upright picture: four quadrants, top-left red, top-right green, bottom-left blue,
// bottom-right white.
enum class Quadrant { TopLeft, TopRight, BottomLeft, BottomRight };

struct TestDngOptions {
    int width = 96;          // size of the upright picture in pixels (even, at least 32)
    int height = 64;
    int orientation = 1;     // EXIF orientation 1..8; the mosaic is stored so that a viewer that
                             // honours this tag shows the upright picture
    int previewLongSide = 0; // longer side of the embedded JPEG preview; 0 = no preview. The
                             // preview is stored like the mosaic (as the sensor saw it), as cameras do
    bool previewJpeg = true; // JPEG preview; false = uncompressed 8-bit RGB, as older cameras write
    std::string make = "Pixelvane";
    std::string model = "Synthetic DNG";
    std::string dateTimeOriginal = "2024:05:17 10:30:00";  // empty = no EXIF sub-directory
};

// Writes the DNG; false (and no complete file) when the path cannot be written.
[[nodiscard]] bool writeTestDng(const std::string& path, const TestDngOptions& dng);

// The dominant colour of each patch as red, green, blue (what a decoder should come close to,
// up to white balance and tone curve).
struct PatchColour {
    std::uint8_t r, g, b;
};
PatchColour patchColour(Quadrant q);

// The EXIF orientation transform: where the stored pixel (sx, sy) of a stored image lands in the
// upright picture of size width x height. Shared with the tests of orientation handling.
void storedToUpright(int orientation, int width, int height, int sx, int sy, int& ux, int& uy);

} // namespace fixtures
