// The per-image pipeline: one input file in, one output file out, through the fixed sequence of
// steps (load, rotate, resize, tone-map, flip, colour, greyscale, threshold, frame, watermark,
// bit depth, name, save).
#pragma once

#include "engine/job.h"
#include "settings/conversion_settings.h"

#include <string_view>

namespace platform {
class FontRegistry;
}

namespace engine {

// What the pipeline works on for the file in hand. The job's target depth is re-chosen per image
// when the depth is automatic; `current` receives source depth, size and output path.
struct PipelineContext {
    const settings::ConversionSettings& settings;
    ConversionJob& job;
    CurrentImage& current;
    const NamingCounters& counters;
    std::string_view allowedBitDepths;              // the output format's depths, e.g. "8,24"
    const platform::FontRegistry* fonts = nullptr;  // the run's fonts, for the text watermark
};

// Converts `ctx.current.inputPath` and writes the result to the path the filename mask gives
// (stored in `ctx.current.outputPath`). True when the output file was written. Every bitmap is
// released on every path; a failure produces no file and leaves an existing file intact.
[[nodiscard]] bool ImagePipeline(const PipelineContext& ctx);

} // namespace engine
