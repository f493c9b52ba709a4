// The solid frame: four bands of given widths and colours painted over the outer edge of the
// picture, mitred at the corners, at one overall opacity. The picture keeps its size.
#pragma once

#include "settings/conversion_settings.h"

#include <vector>

namespace platform
{
class Canvas;
}

namespace engine
{

// A rectangle of pixels, origin top-left.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Non-overlapping rectangles of a width x height picture that together hold every pixel the
// frame can touch (the top and bottom strips and the two side strips between them), cut into
// pieces of a bounded size. Bands wider than the picture are clipped; negative widths count as 0.
[[nodiscard]] std::vector<PixelRect> frameRegions(const settings::FrameSettings& frame, int width,
                                                  int height);

// Paints the frame shapes of a width x height picture, fully opaque, onto `canvas` (which may
// cover any part of the picture): the four corner rectangles, then the top, right, bottom and
// left bands, each in its side's colour, so that a band drawn later lies on top at the seam.
void drawFrameShapes(platform::Canvas& canvas, const settings::FrameSettings& frame, int width, int height);

} // namespace engine
