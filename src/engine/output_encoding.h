// How the finished bitmap is written: the FreeImage save flags and the bit depth of the output
// format, fixed once per run from the Output settings, and the conversion of each image to the
// target depth (chosen per image from its own source depth when the depth is automatic).
#pragma once

#include "engine/bitmap.h"
#include "engine/job.h"
#include "settings/conversion_settings.h"

#include <string_view>

namespace engine {

// The FreeImage save flags for `extension` (case-insensitive) from the format's save settings;
// 0 (the format's default) for formats without any and for unknown extensions.
[[nodiscard]] int saveFlags(const settings::OutputSettings& out, std::string_view extension);

// The `<EXT> BPP` setting of `extension` (case-insensitive): a bit depth, or 0 for automatic
// (also for unknown extensions).
[[nodiscard]] int bitDepthSetting(const settings::OutputSettings& out, std::string_view extension);

// Fills the per-run encoding fields of `job` from its `outputExtension`: target bit depth,
// automatic-depth flag and save flags.
void prepareOutputEncoding(ConversionJob& job, const settings::OutputSettings& out);

// The automatic depth for an image of `sourceDepth` bits, given the format's allowed depths as
// an ascending comma-separated list ("8,24"): the first depth >= the source, else the last one.
// 0 when the list holds no depth.
[[nodiscard]] int automaticBitDepth(std::string_view allowedDepths, int sourceDepth);

// When the job's depth is automatic, sets its target bit depth for the image in hand from that
// image's source depth (what `%bpp%` shows for this file); otherwise leaves the job alone. Call
// it as soon as the source depth is known, so the watermark's %bpp% already shows this file's
// depth; calling it again in the depth step changes nothing.
void chooseTargetBitDepth(ConversionJob& job, int sourceDepth, std::string_view allowedDepths);

// Converts to `targetDepth` bits for saving as `extension`; the bitmap comes back unchanged when
// it already has that depth. Empty for a depth no conversion produces, or when FreeImage fails.
[[nodiscard]] Bitmap convertToBitDepth(Bitmap image, int targetDepth, std::string_view extension);

// Any picture as a 24-bit RGB bitmap: 16-bit-per-channel images are scaled down, floating-point
// colour images tone mapped, single-channel sample images scaled to grey. A 24-bit bitmap comes
// back as it is; otherwise the input is released. Empty when FreeImage fails.
[[nodiscard]] Bitmap convertTo24Bits(Bitmap image);

// The pipeline's depth step: chooseTargetBitDepth, then convertToBitDepth to the job's target.
[[nodiscard]] Bitmap convertToTargetDepth(Bitmap image, ConversionJob& job, int sourceDepth,
                                          std::string_view allowedDepths);

} // namespace engine
