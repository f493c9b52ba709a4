#include "cli/help_text.h"

#include "catalogue/message_catalogue.h"
#include "catalogue/product.h"
#include "settings/conversion_settings.h"

#include <chrono>
#include <random>

namespace cli {

namespace {

// %s1% is the program's name, %s2% a format: an input format on the example lines (a fresh pick
// for each), the first output format on the line with -c.
constexpr std::string_view kHelpLines[] = {
    " ",
    "Usage: %s1% -i <filename> [options]",
    " ",
    "  %s1% -i example.%s2%",
    "  %s1% -i /tmp/example.%s2%",
    "  %s1% -i /tmp/example.%s2% -o /tmp/converted",
    "  %s1% -i /tmp/filelist.txt",
    "  %s1% -i /tmp/ -o /tmp/converted --jpg-quality=95",
    "  %s1% -i /tmp/ -o /tmp/converted -c %s2% --jpg-quality=95",
    " ",
    "Options:",
    " ",
    "  -h, -?, --help            Display this help and exit",
    "  -i FILE, --input=FILE     Set input file/list/folder",
    "  -o PATH, --output=PATH    Set output folder",
    "  -c STR, --conversion=STR  Set output extension, STR = (jpg | bmp | ...)",
    " ",
    "Advanced options:",
    " ",
    "  --width=NUM               Set output image width",
    "  --height=NUM              Set output image height",
    "  --filename-mask=STR       Define output filename format",
    "  --flip-horizontal         Flip output image horizontally",
    "  --flip-vertical           Flip output image vertically",
    "  --brightness=NUM          Set output image brightness, NUM = -100..100",
    "  --contrast=NUM            Set output image contrast, NUM = -100..100",
    "  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99",
    "  --invert                  Invert output image",
    "  --greyscale               Greyscale output image",
    "  --profile=FILE            Set configuration file with required settings",
    "    ...                     Refer documentation for all available options",
    " ",
    "Other options:",
    " ",
    "  -q, --quiet               Don't print status messages to stdout",
    "  -d, --debug               Print debug information to stdout",
    "  -p, --pause               Pause at exit",
    "  -v, --version             Display version information and exit",
};
constexpr std::size_t kFirstRandomFormatLine = 3;
constexpr std::size_t kLastRandomFormatLine = 5;
constexpr std::size_t kConversionLine = 8;

std::vector<std::string> nonEmpty(const std::vector<std::string>& list)
{
    std::vector<std::string> out;
    for (const std::string& entry : list) {
        if (!entry.empty()) out.push_back(entry);
    }
    return out;
}

} // namespace

std::string programName(std::string_view startPath)
{
    std::string_view name = startPath;
    if (const std::size_t slash = name.find_last_of('/'); slash != std::string_view::npos) name.remove_prefix(slash + 1);
    // Only a dot after the first character starts an extension: ".pv" stays a name.
    if (const std::size_t dot = name.find_last_of('.'); dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    return name.empty() ? std::string(catalogue::kProductName) : std::string(name);
}

std::vector<std::string> helpLines(std::string_view name, const std::vector<std::string>& inputFormats,
                                   const std::vector<std::string>& outputFormats, std::uint32_t seed)
{
    const std::vector<std::string> inputs = nonEmpty(inputFormats);
    const std::vector<std::string> outputs = nonEmpty(outputFormats);
    std::minstd_rand random(seed);

    std::vector<std::string> lines;
    lines.reserve(std::size(kHelpLines));
    for (std::size_t i = 0; i < std::size(kHelpLines); ++i) {
        std::string format;
        if (i >= kFirstRandomFormatLine && i <= kLastRandomFormatLine && !inputs.empty()) {
            format = inputs[std::uniform_int_distribution<std::size_t>(0, inputs.size() - 1)(random)];
        } else if (i == kConversionLine && !outputs.empty()) {
            format = outputs.front();
        }
        lines.push_back(catalogue::FormatText(kHelpLines[i], name, format));
    }
    return lines;
}

std::string helpText(std::string_view name)
{
    std::string text;
    // Any varying seed will do; the clock never fails where a random device might.
    const auto seed = static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (const std::string& line : helpLines(name, settings::InputFormatList(), settings::OutputFormatList(), seed)) {
        text += line;
        text += '\n';
    }
    return text;
}

} // namespace cli
