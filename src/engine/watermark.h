// The watermark: a text box or an image, rendered into a 32-bit overlay with straight alpha,
// turned, cut to fit, placed by one of nine anchors and blended over the picture.
#pragma once

#include "engine/bitmap.h"
#include "settings/conversion_settings.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform
{
class Font;
}

namespace engine
{

// The area a watermark keeps within, in picture pixels.
struct OverlayArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Where the overlay goes: its top-left corner on the picture and its size after cropping.
struct OverlayPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const OverlayPlacement&, const OverlayPlacement&) = default;
};

// The whole width x height picture; with `boundary` 1 and a frame switched on, the part inside
// the frame's bands.
[[nodiscard]] OverlayArea watermarkArea(const settings::FrameSettings& frame, int boundary, int width,
                                        int height);

// Cuts an overlay of overlayWidth x overlayHeight to the area less the offsets (keeping its
// top-left part) and places it by `anchor` (0 top-left .. 8 bottom-right, row by row; any other
// code puts it at the area's corner). Divisions truncate toward zero. A size of 0 or less means
// nothing fits.
[[nodiscard]] OverlayPlacement placeOverlay(const OverlayArea& area, int overlayWidth, int overlayHeight,
                                            int anchor, int offsetX, int offsetY);

// The lines of an expanded watermark text: split at every "%eol%", in any letter case.
[[nodiscard]] std::vector<std::string> splitWatermarkLines(std::string_view text);

// Measured size of one line, in pixels.
struct LineSize {
    int width = 0;
    int height = 0;
};

// Where the lines of a text box go.
struct TextBoxLayout {
    int width = 0;          // box width: text width + 2 x padding
    int height = 0;         // box height: text height + 2 x padding
    int pitch = 0;          // distance between the tops of two lines
    std::vector<int> lineX; // left edge of each line
    std::vector<int> lineY; // top edge of each line
};

// Lays out the lines of a text box. One line sits at (padding, padding) with its own size.
// Several lines are at least 10 x 10 each, one tallest line plus `leading` apart, and aligned
// 0 left, 1 centred, 2 right (other codes: left) within the box.
[[nodiscard]] TextBoxLayout layoutTextBox(std::span<const LineSize> lines, int padding, int leading,
                                          int alignment);

// The text box of an already expanded watermark text in `font`, as a 32-bit bitmap with
// straight alpha. Empty when the box has no area or cannot be drawn.
[[nodiscard]] Bitmap renderTextOverlay(std::string_view text, const settings::WatermarkSettings& s,
                                       const platform::Font& font);

// The watermark image file at `Image Opacity` (and in grey with `Image Greyscale`), as a 32-bit
// bitmap with straight alpha: an image with transparency keeps it, any other is blended toward
// opaque black. Empty when the file cannot be read.
[[nodiscard]] Bitmap renderImageOverlay(const settings::WatermarkSettings& s);

// Turns the overlay counter-clockwise by `degrees` when 0 < degrees < 360, onto a larger
// transparent bitmap; other angles leave it as it is. Empty when FreeImage cannot turn it.
[[nodiscard]] Bitmap rotateOverlay(Bitmap overlay, int degrees);

} // namespace engine
