// The two drawing steps of the pipeline: the solid frame and the watermark. Each takes the
// current bitmap (and owns it), the picture size recorded after resizing, and returns the bitmap
// to continue with; an empty input comes straight back. Both turn the picture into 24 bits when
// switched on, even if nothing ends up drawn; only a failed composite returns no bitmap.
#pragma once

#include "engine/bitmap.h"
#include "engine/job.h"
#include "settings/conversion_settings.h"

namespace platform
{
class Canvas;
class FontRegistry;
} // namespace platform

namespace engine
{

// What the steps need besides the picture: the settings, the job, the file in hand and the
// counters (for the tokens of the watermark text), and the run's loaded fonts (the text
// watermark uses platform::kWatermarkFontSlot; without a registry or a font there is no text).
struct OverlayContext {
    const settings::ConversionSettings& settings;
    const ConversionJob& job;
    const CurrentImage& current;
    const NamingCounters& counters;
    const platform::FontRegistry* fonts = nullptr;
};

[[nodiscard]] Bitmap applyFrame(Bitmap image, const OverlayContext& ctx, int width, int height);
[[nodiscard]] Bitmap applyWatermark(Bitmap image, const OverlayContext& ctx, int width, int height);

// Building blocks shared by both steps.

// The picture as a 24-bit bitmap: returned as is when it already is one, otherwise converted
// (the given bitmap is released). Empty when it cannot be converted.
[[nodiscard]] Bitmap toTwentyFourBits(Bitmap image);

// A finished drawing as a 32-bit FreeImage bitmap with straight alpha, the same size. Empty when
// the canvas is invalid or memory runs out.
[[nodiscard]] Bitmap bitmapFromCanvas(const platform::Canvas& canvas);

// Blends the 32-bit straight-alpha `overlay` over the 24- or 32-bit `picture` with its top-left
// corner at (x, y) (origin top-left) and its alpha scaled by `opacity` (0..255), in place; the
// parts outside the picture are left out and the picture's own alpha is kept. False when either
// bitmap is of another kind.
[[nodiscard]] bool compositeOnto(FIBITMAP* picture, FIBITMAP* overlay, int x, int y, int opacity = 255);

} // namespace engine
