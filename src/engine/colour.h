// The colour steps of the pipeline, in this order: colour correction (brightness, contrast,
// gamma, invert), greyscale and threshold, driven by the Adjustment settings. Each takes the
// current bitmap (and owns it) and returns the bitmap to continue with; a bitmap it replaces is
// released, and an empty input comes straight back.
#pragma once

#include "engine/bitmap.h"
#include "settings/conversion_settings.h"

namespace engine {

// Applies brightness, contrast, gamma and invert in one pass when `Do Image Color Correction`
// is set. Images the adjustment cannot take in place (below 8 bits, 16 bits, 48 bits and more)
// are converted to 24 bits first, and that conversion continues down the pipeline.
[[nodiscard]] Bitmap correctColours(Bitmap image, const settings::AdjustmentSettings& s);

// Converts to an 8-bit greyscale image when `Do Image Greyscale` is set.
[[nodiscard]] Bitmap makeGreyscale(Bitmap image, const settings::AdjustmentSettings& s);

// Converts to a 1-bit black-and-white image at `Image Threshold` (its low 8 bits) when
// `Do Image Threshold` is set: grey levels below the threshold become black, the rest white.
[[nodiscard]] Bitmap applyThreshold(Bitmap image, const settings::AdjustmentSettings& s);

} // namespace engine
