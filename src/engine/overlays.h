// The two drawing steps of the pipeline: the solid frame and the watermark. Each takes the
// current bitmap (and owns it), the picture size recorded after resizing, and returns the bitmap
// to continue with; an empty input comes straight back.
#pragma once

#include "engine/bitmap.h"
#include "engine/job.h"
#include "settings/conversion_settings.h"

namespace engine {

// What the watermark needs besides the settings: the file in hand and the counters for the
// tokens of its text.
struct OverlayContext {
    const settings::ConversionSettings& settings;
    const CurrentImage& current;
    const NamingCounters& counters;
};

[[nodiscard]] Bitmap applyFrame(Bitmap image, const OverlayContext& ctx, int width, int height);
[[nodiscard]] Bitmap applyWatermark(Bitmap image, const OverlayContext& ctx, int width, int height);

} // namespace engine
