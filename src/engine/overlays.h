// The two drawing steps of the pipeline: the solid frame and the watermark. Each takes the
// current bitmap (and owns it), the picture size recorded after resizing, and returns the bitmap
// to continue with; an empty input comes straight back. Both turn the picture into 24 bits when
// switched on, even if nothing ends up drawn; only a failed composite returns no bitmap.
#pragma once

#include "engine/bitmap.h"
#include "engine/job.h"
#include "settings/conversion_settings.h"

namespace platform {
class FontRegistry;
}

namespace engine {

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

} // namespace engine
