// Output naming and file timestamps: the placeholder tokens shared by the filename mask and the
// watermark text, the full output path of the file in hand, and the modification time a written
// file receives.
#pragma once

#include "engine/job.h"
#include "settings/conversion_settings.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace engine {

// The two ways tokens are expanded. A filename mask is lower-cased first and each token is
// looked for in the text as it reads after the earlier replacements. A watermark text keeps its
// case, is left alone when it holds fewer than two "%", and only tokens present in the original
// text are expanded.
enum class TokenMode { FilenameMask, WatermarkText };

// Everything the tokens read: the job (%ext%, %bpp%), the file in hand (%filename%, %width%,
// %height%), the counters (%rnd%, %n%) and the local time the date tokens show.
struct TokenSource {
    const ConversionJob& job;
    const CurrentImage& current;
    const NamingCounters& counters;
    std::time_t now = std::time(nullptr);
};

[[nodiscard]] std::string expandTokens(std::string_view text, TokenMode mode, const TokenSource& src);

// The output file name from `Filename Mask` ("%filename%.%ext%" when the mask is empty).
[[nodiscard]] std::string expandFilenameMask(std::string_view mask, const TokenSource& src);

// The watermark text to draw.
[[nodiscard]] std::string expandWatermarkText(std::string_view text, const TokenSource& src);

// Output folder + (with `Keep Subfolders`) the input's subfolder + the expanded mask. Nothing
// is checked or appended: without %ext% in the mask the name has no extension.
[[nodiscard]] std::string outputPath(const settings::AdvancedSettings& s, const TokenSource& src);

// The input file name without folder and without its last extension ("a.b.c" gives "a.b").
[[nodiscard]] std::string baseName(std::string_view inputPath);

// Seconds since 1970-01-01 00:00:00 counted in local time, as a real point in time.
[[nodiscard]] std::time_t timeFromLocalSeconds(std::int32_t localSeconds);

// Applied after a successful save: `File Timestamp` 1 copies the input's modification time to
// the output, 2 sets `Custom Timestamp`, 0 (and any other code) leaves the time of writing.
// Only the modification time changes. False when the time could not be read or set.
[[nodiscard]] bool applyFileTimestamp(const settings::AdvancedSettings& s, const std::string& inputPath,
                                      const std::string& outputPath);

} // namespace engine
