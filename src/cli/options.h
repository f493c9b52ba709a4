// The command-line options: how a parameter splits into name and value, the one table of
// options with the settings fields each writes, the value words of the coded options, and the
// option loop that applies a parameter list (and any profile it names) to the settings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/conversion_settings.h"

namespace cli {

// What the option loop leaves besides the settings: the run values of a console run.
struct CommandLine {
    std::string input;           // -i / --input: file, list file or folder, as typed
    std::string outputFolder;    // -o / --output
    std::string outputExtension; // -c / --conversion
    bool consoleRun = false;     // an input option was met: the batch is to run
    std::string runMarker;       // "DEBUG" after -d / --debug, else ""
    bool quiet = false;          // -q / --quiet
    bool pause = false;          // -p / --pause
    std::string errorText;       // empty, or the error that ended the loop

    [[nodiscard]] bool debug() const { return runMarker == "DEBUG"; }
};

inline constexpr std::string_view kIncorrectParameters = "Incorrect number of parameters";
inline constexpr std::string_view kInvalidProfile = "Invalid profile file";

// The parameter trimmed of spaces; empty unless it starts with "-"; for "--" options only the
// part before the first "="; upper-cased. "--jpg-quality=95" gives "--JPG-QUALITY".
std::string OptionName(std::string_view parameter);
// The parameter trimmed of spaces; for a "--" option holding "=", everything after the first "=".
std::string OptionValue(std::string_view parameter);

// The word lists of the coded options; a word's code is its position in its list.
enum class Vocabulary {
    None,
    DdsPixelOrder,
    RawLoadMode,
    FrameChoice,
    ToneMapping,
    BmpCompression, // the five compression lists share their words when read (see wordCode)
    TgaCompression,
    ExrCompression,
    PngCompression,
    TiffCompression,
    ColorTable,
    ColorModel,
    Chroma,
    JpegSaveMode,
    RotationType,
    Unit,
    ResizeType,
    ResizeFilter,
    FontStyle,
    FontEffect,
    Alignment,
    Boundary,
    Position,
    SizeMode,
    Timestamp,
    FrameType,     // printout only
    WatermarkType, // printout only
};

// The code of `word` (any letter case, surrounding spaces ignored) in `vocabulary`; 0 for a word
// it does not hold. A compression option accepts the words of all five compression lists.
std::int32_t wordCode(Vocabulary vocabulary, std::string_view word);
// The upper-case word of `code` in `vocabulary` (a compression field uses its own format's list);
// empty when the code has no word.
std::string_view optionWord(Vocabulary vocabulary, std::int32_t code);

// The leading integer of `text`: blanks skipped, optional sign, then decimal digits, "$" and hex
// digits, or "%" and binary digits; stops at the first other character; no digits gives 0.
// Wraps to 32 bits like the fields it is stored in.
std::int32_t parseNumber(std::string_view text);
// `text` read as a decimal floating-point number (leading blanks and "+" allowed); 0 when it
// does not start with one.
float parseReal(std::string_view text);

// Applies one key of a profile's "CLI" group (key in any case, value already trimmed) to `s`.
// Returns false, changing nothing, when the key names no profile option.
bool applyProfileKey(settings::ConversionSettings& s, std::string_view key, std::string_view value);

// The option loop over all parameters: writes `s` and `cl`; the first failing option stores its
// error in `cl.errorText` and ends the loop. A --profile is applied where it stands.
void runOptionLoop(const std::vector<std::string>& parameters, settings::ConversionSettings& s,
                   CommandLine& cl);

} // namespace cli
