#include "engine/format_registry.h"

#include "engine/output_encoding.h"

#include "settings/conversion_settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <initializer_list>

namespace engine {

namespace {

struct InputGroup {
    std::string_view format;
    std::string_view description;
    std::initializer_list<std::string_view> extensions;
};

// Grouped by format; inside a format the order is the order of the file dialog's filters.
const InputGroup kInputGroups[] = {
    {"bmp", "Windows or OS/2 Bitmap", {"bmp", "rle", "dib"}},
    {"dds", "DirectDraw Surface File", {"dds"}},
    {"emf", "Enhanced Metafile Format", {"emf", "emz"}},
    {"gif", "GIF File", {"gif"}},
    {"hdr", "High Dynamic Range File", {"hdr", "hdri"}},
    {"ico", "Windows Icon", {"ico"}},
    {"jpg", "JPEG File", {"jpg", "jpeg", "jpe", "jif"}},
    {"pcd", "Kodak PhotoCD File", {"pcd", "pcd1", "pcds", "ppcd"}},
    {"pcx", "ZSoft Paintbrush File", {"pcx"}},
    {"pic", "Macintosh PICT", {"pic", "pict", "pct"}},
    {"png", "Portable Network Graphics", {"png"}},
    {"psd", "Adobe Photoshop File", {"psd"}},
    {"tga", "Truevision Targa", {"tga", "targa"}},
    {"tiff", "Tagged Image File Format", {"tiff", "tif"}},
    {"wmf", "Windows Metafile Format", {"wmf", "wmz"}},
    {"wmf", "Aldus Placeable Metafile", {"apm"}},
    {"raw", "Camera RAW Image", {"raw", "raw1", "raw2"}},
    {"raw", "Hasselblad Camera RAW Image", {"3fr"}},
    {"raw", "Sony Camera RAW Image", {"arw", "sr2", "srf"}},
    {"raw", "Casio Camera RAW Image", {"bay"}},
    {"raw", "NuCore RAW Image", {"bmq"}},
    {"raw", "Phase One Camera RAW Image", {"cap", "iiq", "eip"}},
    {"raw", "Phantom RAW Image", {"cine"}},
    {"raw", "Canon Camera RAW Image", {"cr2", "crw"}},
    {"raw", "Capture Shop RAW Image", {"cs1"}},
    {"raw", "Kodak Camera RAW Image", {"dc2", "dcr", "drf", "dsc", "k25", "kc2", "kdc", "dcs"}},
    {"raw", "Adobe Digital Negative Image", {"dng"}},
    {"raw", "Epson Camera RAW Image", {"erf"}},
    {"raw", "Imacon Camera RAW Image", {"fff"}},
    {"raw", "Sinar RAW Image", {"ia", "sti"}},
    {"raw", "Minolta Camera RAW Image", {"mdc", "mrw"}},
    {"raw", "Mamiya Camera RAW Image", {"mef", "mos"}},
    {"raw", "Nikon Camera RAW Image", {"nef", "nrw"}},
    {"raw", "Olympus Camera RAW Image", {"orf"}},
    {"raw", "Pentax Camera RAW Image", {"pef", "ptx"}},
    {"raw", "Logitech Camera RAW Image", {"pxn"}},
    {"raw", "Apple Quicktake Camera RAW Image", {"qtk"}},
    {"raw", "Fuji Camera RAW Image", {"raf"}},
    {"raw", "Digital Foto Maker RAW Image", {"rdc"}},
    {"raw", "Panasonic Camera RAW Image", {"rw2"}},
    {"raw", "Rawzor Camera RAW Image", {"rwz"}},
    {"raw", "Sigma Camera RAW Image", {"x3f"}},
    {"raw", "ARRI RAW Image", {"ari"}},
    {"raw", "RED RAW Image", {"r3d"}},
    {"raw", "Leica Camera RAW Image", {"rwl"}},
};

struct OutputRow {
    std::string_view extension;
    int freeImageId;   // FREE_IMAGE_FORMAT values of FreeImage 3.x; the numbers are its stable ABI
    std::string_view description;
    std::string_view bitDepths;
};

const OutputRow kOutputRows[] = {
    {"bmp", 0, "Windows or OS/2 Bitmap", "1,4,8,16,24,32"},
    {"exr", 29, "ILM OpenEXR", "96"},
    {"gif", 25, "Graphics Interchange Format", "8"},
    {"hdr", 26, "High Dynamic Range Image", "96"},
    {"ico", 1, "Windows Icon", "1,4,8,16,24,32"},
    {"j2k", 30, "JPEG-2000 Codestream", "8,24,32,48"},
    {"jng", 3, "JPEG Network Graphics", "24,32"},
    {"jp2", 31, "JPEG-2000 File Format", "8,24,32,48"},
    {"jpg", 2, "JPEG File Format", "8,24"},
    {"jxr", 36, "JPEG XR Image Format", "1,8,16,24,32,48,96"},
    {"pbm", 7, "Portable Bitmap", "1"},
    {"pfm", 32, "Portable Floatmap", "96"},
    {"pgm", 11, "Portable Greymap", "8"},
    {"png", 13, "Portable Network Graphics", "1,4,8,24,32,48"},
    {"ppm", 14, "Portable Pixelmap", "24,48"},
    {"tga", 17, "Truevision Targa", "8,16,24,32"},
    {"tiff", 18, "Tagged Image File Format", "1,4,8,24,32,48,96"},
    {"wbmp", 19, "Wireless Bitmap", "1"},
    {"webp", 35, "Google WebP Image Format", "24,32"},
    {"xpm", 23, "X11 Pixmap Format", "24"},
};

std::vector<int> parseDepths(std::string_view list)
{
    std::vector<int> depths;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        int value = 0;
        if (std::from_chars(item.data(), item.data() + item.size(), value).ec == std::errc{}) depths.push_back(value);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return depths;
}

std::string upperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

FormatRegistry BuildFormatRegistry()
{
    FormatRegistry registry;
    registry.inputs.reserve(79);
    for (const InputGroup& group : kInputGroups) {
        for (std::string_view ext : group.extensions) {
            registry.inputs.push_back({std::string(ext), std::string(group.format), std::string(group.description)});
        }
    }
    registry.outputs.reserve(std::size(kOutputRows));
    for (const OutputRow& row : kOutputRows) {
        registry.outputs.push_back({std::string(row.extension), row.freeImageId, std::string(row.description),
                                    std::string(row.bitDepths), parseDepths(row.bitDepths)});
    }
    rebuildAcceptedExtensions(registry, settings::InputFormatList());
    return registry;
}

void rebuildAcceptedExtensions(FormatRegistry& registry, const std::vector<std::string>& inputFormats)
{
    registry.acceptedInputExtensions.clear();
    for (const std::string& format : inputFormats) {
        if (format.empty()) continue;
        for (const InputExtension& row : registry.inputs) {
            if (row.format == format) registry.acceptedInputExtensions.push_back(row.extension);
        }
    }
}

bool isAcceptedInput(const FormatRegistry& registry, std::string_view lowerExtension)
{
    const auto& accepted = registry.acceptedInputExtensions;
    return std::find(accepted.begin(), accepted.end(), lowerExtension) != accepted.end();
}

const InputExtension* findInputExtension(const FormatRegistry& registry, std::string_view extension)
{
    for (const InputExtension& row : registry.inputs) {
        if (row.extension == extension) return &row;
    }
    return nullptr;
}

const OutputFormat* findOutputFormat(const FormatRegistry& registry, std::string_view extension)
{
    for (const OutputFormat& row : registry.outputs) {
        if (row.extension == extension) return &row;
    }
    return nullptr;
}

int outputFormatId(const FormatRegistry& registry, std::string_view extension)
{
    const OutputFormat* row = findOutputFormat(registry, extension);
    return row ? row->freeImageId : -1;
}

std::string outputDescription(const FormatRegistry& registry, std::string_view extension)
{
    const OutputFormat* row = findOutputFormat(registry, extension);
    return row ? row->description : std::string();
}

std::string outputBitDepths(const FormatRegistry& registry, std::string_view extension)
{
    const OutputFormat* row = findOutputFormat(registry, extension);
    return row ? row->bitDepths : std::string();
}

int automaticBitDepth(const FormatRegistry& registry, std::string_view extension, int sourceDepth)
{
    const OutputFormat* row = findOutputFormat(registry, extension);
    if (!row || row->depths.empty()) return sourceDepth;
    return automaticBitDepth(row->bitDepths, sourceDepth);
}

std::string outputChoiceText(const FormatRegistry& registry, std::string_view extension, bool withDescription)
{
    std::string text = upperCase(extension);
    const OutputFormat* row = withDescription ? findOutputFormat(registry, extension) : nullptr;
    if (row) text += " (" + row->description + ")";
    return text;
}

std::vector<OutputChoice> outputChoices(const FormatRegistry& registry, const std::vector<std::string>& outputFormats,
                                        bool withDescription)
{
    std::vector<OutputChoice> choices;
    for (const std::string& ext : outputFormats) {
        if (ext.empty()) continue;
        choices.push_back({ext, outputChoiceText(registry, ext, withDescription)});
    }
    return choices;
}

std::size_t selectedOutputChoice(const std::vector<OutputChoice>& choices, std::string_view currentFormat)
{
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].extension == currentFormat) return i;
    }
    return 0;
}

std::vector<std::string> inputChoices(const std::vector<std::string>& inputFormats)
{
    std::vector<std::string> choices;
    for (const std::string& format : inputFormats) {
        if (!format.empty()) choices.push_back(upperCase(format));
    }
    return choices;
}

} // namespace engine
