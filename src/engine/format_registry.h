// The image formats the engine knows by name: input extensions grouped into input formats, output
// extensions with their FreeImage ids and the bit depths they may be saved with, and the input
// extensions this build accepts (those of the formats in the edition's input-format list).
// Built once at start-up by BuildFormatRegistry(); read-only afterwards, passed by reference.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace engine {

// One input extension (lower case, no dot) and the input format it belongs to.
struct InputExtension {
    std::string extension;     // "nef"
    std::string format;        // "raw"
    std::string description;   // "Nikon Camera RAW Image"
};

// One output format, keyed by its extension.
struct OutputFormat {
    std::string extension;     // "jpg"
    int freeImageId = -1;      // the FREE_IMAGE_FORMAT passed to FreeImage_Save
    std::string description;   // "JPEG File Format"
    std::string bitDepths;     // allowed depths, ascending, comma-separated: "8,24"
    std::vector<int> depths;   // the same depths as numbers
};

struct FormatRegistry {
    std::vector<InputExtension> inputs;    // 79 rows, grouped by format
    std::vector<OutputFormat> outputs;     // 20 rows, by extension
    // Every input extension whose format is in the input-format list, list order first, then
    // table order. Rebuilt by rebuildAcceptedExtensions() when the run state is reset.
    std::vector<std::string> acceptedInputExtensions;
};

// Fills both tables and derives the accepted extensions from settings::InputFormatList().
[[nodiscard]] FormatRegistry BuildFormatRegistry();

// Recomputes the accepted input extensions from an input-format list (empty entries match nothing).
void rebuildAcceptedExtensions(FormatRegistry& registry, const std::vector<std::string>& inputFormats);

// True when `lowerExtension` (already lower-cased by the caller, no dot) is an accepted input
// extension. The comparison is exact: "NEF" is not accepted, "nef" is.
[[nodiscard]] bool isAcceptedInput(const FormatRegistry& registry, std::string_view lowerExtension);

// The row of an input or output extension, or nullptr when the table has none. The pointer is
// valid as long as the registry lives unchanged.
[[nodiscard]] const InputExtension* findInputExtension(const FormatRegistry& registry, std::string_view extension);
[[nodiscard]] const OutputFormat* findOutputFormat(const FormatRegistry& registry, std::string_view extension);

// Shorthands over findOutputFormat(): -1, "" and "" for an extension with no output row.
[[nodiscard]] int outputFormatId(const FormatRegistry& registry, std::string_view extension);
[[nodiscard]] std::string outputDescription(const FormatRegistry& registry, std::string_view extension);
[[nodiscard]] std::string outputBitDepths(const FormatRegistry& registry, std::string_view extension);

// The depth an image of `sourceDepth` bits is saved with when the format's depth is automatic:
// the first allowed depth that is at least the source depth, else the largest allowed one.
// An extension with no output row keeps the source depth.
[[nodiscard]] int automaticBitDepth(const FormatRegistry& registry, std::string_view extension, int sourceDepth);

// The text the output-format selector shows for an extension: "JPG (JPEG File Format)", or only
// "JPG" when `withDescription` is false or the extension has no output row.
[[nodiscard]] std::string outputChoiceText(const FormatRegistry& registry, std::string_view extension,
                                           bool withDescription = true);

struct OutputChoice {
    std::string extension;     // the entry of the output-format list
    std::string text;          // as outputChoiceText() gives it
};

// One choice per non-empty entry of `outputFormats` (normally settings::OutputFormatList()).
[[nodiscard]] std::vector<OutputChoice> outputChoices(const FormatRegistry& registry,
                                                      const std::vector<std::string>& outputFormats,
                                                      bool withDescription = true);

// Index of the choice whose extension equals `currentFormat` (the Output/Format setting), else 0.
[[nodiscard]] std::size_t selectedOutputChoice(const std::vector<OutputChoice>& choices, std::string_view currentFormat);

// The input-format selector's entries: the non-empty entries of `inputFormats`, upper-cased.
[[nodiscard]] std::vector<std::string> inputChoices(const std::vector<std::string>& inputFormats);

} // namespace engine
