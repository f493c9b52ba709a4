#include "cli/options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <span>
#include <system_error>

#include "cli/profile.h"

namespace cli {
namespace {

using settings::ConversionSettings;
using settings::Flag;

std::string_view trimSpaces(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::string upperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// One double quote at either end goes; the platform's splitting leaves them on some paths.
std::string stripQuotes(std::string_view text)
{
    if (!text.empty() && text.front() == '"') text.remove_prefix(1);
    if (!text.empty() && text.back() == '"') text.remove_suffix(1);
    return std::string(text);
}

// ---- Vocabularies ---------------------------------------------------------------------------

using Words = std::span<const std::string_view>;

constexpr std::string_view kDdsPixelOrder[] = {"AUTO", "BGRA", "RGBA"};
constexpr std::string_view kRawLoadMode[] = {"AUTO", "8", "16", "24", "48HS", "48"};
constexpr std::string_view kFrameChoice[] = {"ALL", "FIRST", "MIDDLE", "LAST", "RANDOM"};
constexpr std::string_view kToneMapping[] = {"NONE", "LINEAR", "AL", "DRR", "GD"};
constexpr std::string_view kBmpTgaCompression[] = {"NONE", "RLE"};
constexpr std::string_view kExrCompression[] = {"NONE", "ZIP", "PIZ", "PXR24", "B44"};
constexpr std::string_view kPngCompression[] = {"NONE", "ZLIB1", "ZLIB6", "ZLIB9"};
constexpr std::string_view kTiffCompression[] = {
    "NONE", "CCITTFAX3", "CCITTFAX4", "PACKBITS", "DEFLATE", "ADOBEDEFLATE", "LZW", "JPEG", "LOGLUV"};
constexpr std::string_view kColorTable[] = {"AUTO", "EXACT"};
constexpr std::string_view kColorModel[] = {"RGB", "CMYK", "LAB"};
constexpr std::string_view kChroma[] = {"NONE", "LOW", "MEDIUM", "HIGH"};
constexpr std::string_view kJpegSaveMode[] = {"STANDARD", "SIMPLE", "OPTIMIZED", "PROGRESSIVE"};
constexpr std::string_view kRotationType[] = {"SIMPLE", "ADVANCED"};
constexpr std::string_view kUnit[] = {"PIXELS", "PERCENT"};
constexpr std::string_view kResizeType[] = {"ALLIMAGES", "LARGEIMAGES"};
constexpr std::string_view kResizeFilter[] = {"BOX",     "BILINEAR",   "BSPLINE",
                                              "BICUBIC", "CATMULLROM", "LANCZOS"};
constexpr std::string_view kFontStyle[] = {"REGULAR", "BOLD", "ITALIC", "BOLDITALIC"};
// The misspelling is the documented word users put in their scripts and profiles.
constexpr std::string_view kFontEffect[] = {"NONE", "UNDERLINE", "STRIKETHROUGHT"};
constexpr std::string_view kAlignment[] = {"LEFT", "CENTER", "RIGHT"};
constexpr std::string_view kBoundary[] = {"IMAGE", "FRAME"};
constexpr std::string_view kPosition[] = {"TOPLEFT",    "TOPCENTER",    "TOPRIGHT",
                                          "MIDDLELEFT", "MIDDLECENTER", "MIDDLERIGHT",
                                          "BOTTOMLEFT", "BOTTOMCENTER", "BOTTOMRIGHT"};
constexpr std::string_view kSizeMode[] = {"FIXED"};
constexpr std::string_view kTimestamp[] = {"CURRENT", "ORIGINAL", "CUSTOM"};
constexpr std::string_view kFrameType[] = {"NONE", "SOLID"};
constexpr std::string_view kWatermarkType[] = {"NONE", "TEXT", "IMAGE"};

Words wordsOf(Vocabulary v)
{
    switch (v) {
    case Vocabulary::None:
        return {};
    case Vocabulary::DdsPixelOrder:
        return kDdsPixelOrder;
    case Vocabulary::RawLoadMode:
        return kRawLoadMode;
    case Vocabulary::FrameChoice:
        return kFrameChoice;
    case Vocabulary::ToneMapping:
        return kToneMapping;
    case Vocabulary::BmpCompression:
        return kBmpTgaCompression;
    case Vocabulary::TgaCompression:
        return kBmpTgaCompression;
    case Vocabulary::ExrCompression:
        return kExrCompression;
    case Vocabulary::PngCompression:
        return kPngCompression;
    case Vocabulary::TiffCompression:
        return kTiffCompression;
    case Vocabulary::ColorTable:
        return kColorTable;
    case Vocabulary::ColorModel:
        return kColorModel;
    case Vocabulary::Chroma:
        return kChroma;
    case Vocabulary::JpegSaveMode:
        return kJpegSaveMode;
    case Vocabulary::RotationType:
        return kRotationType;
    case Vocabulary::Unit:
        return kUnit;
    case Vocabulary::ResizeType:
        return kResizeType;
    case Vocabulary::ResizeFilter:
        return kResizeFilter;
    case Vocabulary::FontStyle:
        return kFontStyle;
    case Vocabulary::FontEffect:
        return kFontEffect;
    case Vocabulary::Alignment:
        return kAlignment;
    case Vocabulary::Boundary:
        return kBoundary;
    case Vocabulary::Position:
        return kPosition;
    case Vocabulary::SizeMode:
        return kSizeMode;
    case Vocabulary::Timestamp:
        return kTimestamp;
    case Vocabulary::FrameType:
        return kFrameType;
    case Vocabulary::WatermarkType:
        return kWatermarkType;
    }
    return {};
}

bool isCompression(Vocabulary v)
{
    return v == Vocabulary::BmpCompression || v == Vocabulary::TgaCompression ||
           v == Vocabulary::ExrCompression || v == Vocabulary::PngCompression ||
           v == Vocabulary::TiffCompression;
}

int positionIn(Words words, std::string_view word)
{
    for (std::size_t i = 0; i < words.size(); ++i)
        if (words[i] == word) return static_cast<int>(i);
    return -1;
}

// ---- The option table -------------------------------------------------------------------------

enum class Kind {
    Number, // leading integer
    Real,   // decimal floating point (--gamma)
    Word,   // vocabulary word to code
    Text,   // text; quotes at either end stripped on the command line, spaces trimmed in a profile
    Mask,   // the filename mask: quotes at either end stripped, spaces kept, everywhere
    Flag,   // no value; a value after "=" is ignored
};

// Where an option is accepted: the frame opacity goes by a different name in profiles.
enum class Scope { Everywhere, CommandLineOnly, ProfileOnly };

struct Value {
    std::int32_t number = 0; // Number, and Word as its code
    float real = 0.0f;
    std::string text;
};

using Store = void (*)(ConversionSettings&, const Value&);

struct SettingOption {
    std::string_view name;
    Kind kind;
    Vocabulary vocabulary;
    Store store; // writes the option's fields, in order
    Scope scope = Scope::Everywhere;
};

using V = Vocabulary;
using S = ConversionSettings;

Flag code(const Value& v)
{
    return static_cast<Flag>(v.number);
}

// Every option that writes settings: the command line takes them as --NAME=value, a profile's
// "CLI" group as "--NAME = value". Run control (-i, -o, -c, --profile, -d, -q, -p) is not here.
// clang-format off
const SettingOption kOptions[] = {
    // Input
    {"--DDS-LOAD-AS", Kind::Word, V::DdsPixelOrder, [](S& s, const Value& v) { s.input.ddsLoadAs = v.number; }},
    {"--GIF-FRAME-LOADING", Kind::Word, V::FrameChoice, [](S& s, const Value& v) { s.input.gifFrameLoading = v.number; }},
    {"--ICO-FRAME-LOADING", Kind::Word, V::FrameChoice, [](S& s, const Value& v) { s.input.icoFrameLoading = v.number; }},
    {"--RAW-LOAD-AS", Kind::Word, V::RawLoadMode, [](S& s, const Value& v) { s.input.rawLoadAs = v.number; }},
    {"--RAW-HEADER-SIZE", Kind::Number, V::None, [](S& s, const Value& v) { s.input.rawHeaderSize = v.number; }},
    {"--RAW-WIDTH", Kind::Number, V::None, [](S& s, const Value& v) { s.input.rawImageWidth = v.number; }},
    {"--RAW-HEIGHT", Kind::Number, V::None, [](S& s, const Value& v) { s.input.rawImageHeight = v.number; }},
    {"--RAW-TONE-MAPPING", Kind::Word, V::ToneMapping, [](S& s, const Value& v) { s.input.rawToneMapping = v.number; }},
    {"--TIFF-FRAME-LOADING", Kind::Word, V::FrameChoice, [](S& s, const Value& v) { s.input.tiffFrameLoading = v.number; }},
    // Output
    {"--BMP-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.bmpBpp = v.number; }},
    {"--DDS-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.ddsBpp = v.number; }},
    {"--EXR-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.exrBpp = v.number; }},
    {"--GIF-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.gifBpp = v.number; }},
    {"--HDR-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.hdrBpp = v.number; }},
    {"--ICO-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.icoBpp = v.number; }},
    {"--J2K-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.j2kBpp = v.number; }},
    {"--JNG-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.jngBpp = v.number; }},
    {"--JP2-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.jp2Bpp = v.number; }},
    {"--JPG-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.jpgBpp = v.number; }},
    {"--JXR-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.jxrBpp = v.number; }},
    {"--PBM-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.pbmBpp = v.number; }},
    {"--PCX-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.pcxBpp = v.number; }},
    {"--PFM-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.pfmBpp = v.number; }},
    {"--PGM-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.pgmBpp = v.number; }},
    {"--PNG-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.pngBpp = v.number; }},
    {"--PPM-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.ppmBpp = v.number; }},
    {"--PSD-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.psdBpp = v.number; }},
    {"--TGA-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.tgaBpp = v.number; }},
    {"--TIFF-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.tiffBpp = v.number; }},
    {"--WBMP-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.wbmpBpp = v.number; }},
    {"--WEBP-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.webpBpp = v.number; }},
    {"--XPM-BPP", Kind::Number, V::None, [](S& s, const Value& v) { s.output.xpmBpp = v.number; }},
    {"--BMP-COMPRESSION", Kind::Word, V::BmpCompression, [](S& s, const Value& v) { s.output.bmpCompression = v.number; }},
    {"--BMP-COLOR-TABLE", Kind::Word, V::ColorTable, [](S& s, const Value& v) { s.output.bmpColorTable = v.number; }},
    {"--EXR-COMPRESSION", Kind::Word, V::ExrCompression, [](S& s, const Value& v) { s.output.exrCompression = v.number; }},
    {"--JPG-QUALITY", Kind::Number, V::None, [](S& s, const Value& v) { s.output.jpgQuality = v.number; }},
    {"--JPG-CHROMA", Kind::Word, V::Chroma, [](S& s, const Value& v) { s.output.jpgChroma = v.number; }},
    {"--JPG-SAVE-AS", Kind::Word, V::JpegSaveMode, [](S& s, const Value& v) { s.output.jpgSaveAs = v.number; }},
    {"--PNG-COMPRESSION", Kind::Word, V::PngCompression, [](S& s, const Value& v) { s.output.pngCompression = v.number; }},
    {"--PNG-INTERLACED", Kind::Flag, V::None, [](S& s, const Value&) { s.output.pngInterlaced = 1; }},
    {"--TGA-COMPRESSION", Kind::Word, V::TgaCompression, [](S& s, const Value& v) { s.output.tgaCompression = v.number; }},
    {"--TIFF-COMPRESSION", Kind::Word, V::TiffCompression, [](S& s, const Value& v) { s.output.tiffCompression = v.number; }},
    {"--TIFF-COLOR-MODEL", Kind::Word, V::ColorModel, [](S& s, const Value& v) { s.output.tiffColorModel = v.number; }},
    // Transform
    {"--ROTATION-TYPE", Kind::Word, V::RotationType, [](S& s, const Value& v) { s.transform.imageRotationType = code(v); }},
    {"--ROTATION", Kind::Number, V::None,
     [](S& s, const Value& v) { s.transform.doImageRotation = 1; s.transform.imageRotation = v.number; }},
    {"--ROTATION-BACK-COLOR", Kind::Text, V::None, [](S& s, const Value& v) { s.transform.imageRotationBackColor = v.text; }},
    {"--WIDTH", Kind::Number, V::None,
     [](S& s, const Value& v) { s.transform.doImageResize = 1; s.transform.imageWidth = v.number; }},
    {"--WIDTH-UNIT", Kind::Word, V::Unit, [](S& s, const Value& v) { s.transform.imageWidthUnit = code(v); }},
    {"--HEIGHT", Kind::Number, V::None,
     [](S& s, const Value& v) { s.transform.doImageResize = 1; s.transform.imageHeight = v.number; }},
    {"--HEIGHT-UNIT", Kind::Word, V::Unit, [](S& s, const Value& v) { s.transform.imageHeightUnit = code(v); }},
    {"--KEEP-ASPECT-RATIO", Kind::Flag, V::None, [](S& s, const Value&) { s.transform.keepAspectRatio = 1; }},
    {"--RESIZE-TYPE", Kind::Word, V::ResizeType, [](S& s, const Value& v) { s.transform.imageResizeType = code(v); }},
    {"--RESIZE-ALGORITHM", Kind::Word, V::ResizeFilter, [](S& s, const Value& v) { s.transform.imageResizeAlgorithm = code(v); }},
    {"--FLIP-HORIZONTAL", Kind::Flag, V::None, [](S& s, const Value&) { s.transform.doImageFlipHorizontal = 1; }},
    {"--FLIP-VERTICAL", Kind::Flag, V::None, [](S& s, const Value&) { s.transform.doImageFlipVertical = 1; }},
    // Adjustment
    {"--BRIGHTNESS", Kind::Number, V::None,
     [](S& s, const Value& v) { s.adjustment.doImageColorCorrection = 1; s.adjustment.imageBrightness = v.number; }},
    {"--CONTRAST", Kind::Number, V::None,
     [](S& s, const Value& v) { s.adjustment.doImageColorCorrection = 1; s.adjustment.imageContrast = v.number; }},
    {"--GAMMA", Kind::Real, V::None,
     [](S& s, const Value& v) { s.adjustment.doImageColorCorrection = 1; s.adjustment.imageGamma = v.real; }},
    {"--INVERT", Kind::Flag, V::None,
     [](S& s, const Value&) { s.adjustment.doImageColorCorrection = 1; s.adjustment.imageInvert = 1; }},
    {"--GREYSCALE", Kind::Flag, V::None, [](S& s, const Value&) { s.adjustment.doImageGreyscale = 1; }},
    {"--THRESHOLD", Kind::Number, V::None,
     [](S& s, const Value& v) { s.adjustment.doImageThreshold = 1; s.adjustment.imageThreshold = v.number; }},
    // Frame
    {"--FR-SOLID-LEFT", Kind::Number, V::None, [](S& s, const Value& v) { s.frame.doFrame = 1; s.frame.solidLeft = v.number; }},
    {"--FR-SOLID-RIGHT", Kind::Number, V::None, [](S& s, const Value& v) { s.frame.doFrame = 1; s.frame.solidRight = v.number; }},
    {"--FR-SOLID-TOP", Kind::Number, V::None, [](S& s, const Value& v) { s.frame.doFrame = 1; s.frame.solidTop = v.number; }},
    {"--FR-SOLID-BOTTOM", Kind::Number, V::None, [](S& s, const Value& v) { s.frame.doFrame = 1; s.frame.solidBottom = v.number; }},
    {"--FR-SOLID-LEFT-COLOR", Kind::Text, V::None, [](S& s, const Value& v) { s.frame.solidLeftColor = v.text; }},
    {"--FR-SOLID-RIGHT-COLOR", Kind::Text, V::None, [](S& s, const Value& v) { s.frame.solidRightColor = v.text; }},
    {"--FR-SOLID-TOP-COLOR", Kind::Text, V::None, [](S& s, const Value& v) { s.frame.solidTopColor = v.text; }},
    {"--FR-SOLID-BOTTOM-COLOR", Kind::Text, V::None, [](S& s, const Value& v) { s.frame.solidBottomColor = v.text; }},
    {"--FR-SOLID-OPACITY", Kind::Number, V::None, [](S& s, const Value& v) { s.frame.solidOpacity = v.number; },
     Scope::CommandLineOnly},
    {"--WM-SOLID-OPACITY", Kind::Number, V::None, [](S& s, const Value& v) { s.frame.solidOpacity = v.number; },
     Scope::ProfileOnly},
    // Watermark
    {"--WM-TEXT", Kind::Text, V::None, [](S& s, const Value& v) { s.watermark.doWatermark = 1; s.watermark.text = v.text; }},
    {"--WM-FONT", Kind::Text, V::None, [](S& s, const Value& v) { s.watermark.font = v.text; }},
    {"--WM-FONT-SIZE", Kind::Number, V::None, [](S& s, const Value& v) { s.watermark.fontSize = v.number; }},
    {"--WM-FONT-LEADING", Kind::Number, V::None, [](S& s, const Value& v) { s.watermark.fontLeading = v.number; }},
    {"--WM-FONT-COLOR", Kind::Text, V::None, [](S& s, const Value& v) { s.watermark.fontColor = v.text; }},
    {"--WM-FONT-STYLE", Kind::Word, V::FontStyle, [](S& s, const Value& v) { s.watermark.fontStyle = code(v); }},
    {"--WM-FONT-EFFECT", Kind::Word, V::FontEffect, [](S& s, const Value& v) { s.watermark.fontEffect = code(v); }},
    {"--WM-TEXT-ANTIALIASING", Kind::Flag, V::None, [](S& s, const Value&) { s.watermark.textAntialiasing = 1; }},
    {"--WM-TEXT-ALIGNMENT", Kind::Word, V::Alignment, [](S& s, const Value& v) { s.watermark.textAlignment = code(v); }},
    {"--WM-TEXT-PADDING", Kind::Number, V::None, [](S& s, const Value& v) { s.watermark.textPadding = v.number; }},
    {"--WM-TEXT-OPACITY", Kind::Number, V::None, [](S& s, const Value& v) { s.watermark.textOpacity = v.number; }},
    {"--WM-BACK-COLOR", Kind::Text, V::None, [](S& s, const Value& v) { s.watermark.backColor = v.text; }},
    {"--WM-BACK-OPACITY", Kind::Number, V::None, [](S& s, const Value& v) { s.watermark.backOpacity = v.number; }},
    {"--WM-TEXT-BOUNDARY", Kind::Word, V::Boundary, [](S& s, const Value& v) { s.watermark.textBoundary = code(v); }},
    {"--WM-TEXT-POSITION", Kind::Word, V::Position, [](S& s, const Value& v) { s.watermark.textPosition = code(v); }},
    {"--WM-TEXT-X-OFFSET", Kind::Number, V::None, [](S& s, const Value& v) { s.watermark.textXOffset = v.number; }},
    {"--WM-TEXT-Y-OFFSET", Kind::Number, V::None, [](S& s, const Value& v) { s.watermark.textYOffset = v.number; }},
    {"--WM-TEXT-ROTATION", Kind::Number, V::None, [](S& s, const Value& v) { s.watermark.textRotation = v.number; }},
    {"--WM-TEXT-SIZE", Kind::Word, V::SizeMode, [](S& s, const Value& v) { s.watermark.textSize = code(v); }},
    {"--WM-IMAGE", Kind::Text, V::None, [](S& s, const Value& v) { s.watermark.doWatermark = 2; s.watermark.image = v.text; }},
    {"--WM-IMAGE-GREYSCALE", Kind::Flag, V::None, [](S& s, const Value&) { s.watermark.imageGreyscale = 1; }},
    {"--WM-IMAGE-OPACITY", Kind::Number, V::None, [](S& s, const Value& v) { s.watermark.imageOpacity = v.number; }},
    {"--WM-IMAGE-BOUNDARY", Kind::Word, V::Boundary, [](S& s, const Value& v) { s.watermark.imageBoundary = code(v); }},
    {"--WM-IMAGE-POSITION", Kind::Word, V::Position, [](S& s, const Value& v) { s.watermark.imagePosition = code(v); }},
    {"--WM-IMAGE-X-OFFSET", Kind::Number, V::None, [](S& s, const Value& v) { s.watermark.imageXOffset = v.number; }},
    {"--WM-IMAGE-Y-OFFSET", Kind::Number, V::None, [](S& s, const Value& v) { s.watermark.imageYOffset = v.number; }},
    {"--WM-IMAGE-ROTATION", Kind::Number, V::None, [](S& s, const Value& v) { s.watermark.imageRotation = v.number; }},
    {"--WM-IMAGE-SIZE", Kind::Word, V::SizeMode, [](S& s, const Value& v) { s.watermark.imageSize = code(v); }},
    // Naming and file
    {"--FILENAME-MASK", Kind::Mask, V::None, [](S& s, const Value& v) { s.advanced.filenameMask = v.text; }},
    {"--FILE-TIMESTAMP", Kind::Word, V::Timestamp, [](S& s, const Value& v) { s.advanced.fileTimestamp = code(v); }},
    {"--FILE-TIMESTAMP-CUSTOM", Kind::Number, V::None, [](S& s, const Value& v) { s.advanced.customTimestamp = v.number; }},
    {"--NO-SUBFOLDERS", Kind::Flag, V::None, [](S& s, const Value&) { s.advanced.keepSubfolders = 0; }},
};
// clang-format on

enum class Source { CommandLine, Profile };

const SettingOption* findOption(std::string_view upperName, Source source)
{
    const Scope excluded = source == Source::CommandLine ? Scope::ProfileOnly : Scope::CommandLineOnly;
    for (const SettingOption& option : kOptions)
        if (option.name == upperName && option.scope != excluded) return &option;
    return nullptr;
}

void applyOption(const SettingOption& option, std::string_view valueText, Source source,
                 ConversionSettings& s)
{
    Value value;
    switch (option.kind) {
    case Kind::Number:
        value.number = parseNumber(valueText);
        break;
    case Kind::Real:
        value.real = parseReal(valueText);
        break;
    case Kind::Word:
        value.number = wordCode(option.vocabulary, valueText);
        break;
    case Kind::Text:
        value.text =
            source == Source::CommandLine ? stripQuotes(valueText) : std::string(trimSpaces(valueText));
        break;
    case Kind::Mask:
        value.text = stripQuotes(valueText);
        break;
    case Kind::Flag:
        break;
    }
    option.store(s, value);
}

// The value check of every option but the run-control paths: present, and not another option.
bool acceptableValue(std::string_view value)
{
    return !value.empty() && !value.starts_with("--");
}

// The value check of -i, -o, -c and their long forms: present, and not starting with "-".
bool acceptablePath(std::string_view value)
{
    return !value.empty() && !value.starts_with('-');
}

bool applyProfile(const std::string& path, ConversionSettings& s)
{
    // A folder opens like a file on Linux but holds no profile; an empty file is a profile that
    // went missing on the way (a failed copy or download), not one that means "change nothing".
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    if (std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) == 0) return false;
    return loadProfileFile(
        path, s, [&s](std::string_view key, std::string_view value) { applyProfileKey(s, key, value); });
}

} // namespace

std::string OptionName(std::string_view parameter)
{
    std::string_view text = trimSpaces(parameter);
    if (!text.starts_with('-')) return {};
    if (text.starts_with("--")) text = text.substr(0, text.find('='));
    return upperCase(text);
}

std::string OptionValue(std::string_view parameter)
{
    std::string_view text = trimSpaces(parameter);
    if (text.starts_with("--")) {
        const auto equals = text.find('=');
        if (equals != std::string_view::npos) return std::string(text.substr(equals + 1));
    }
    return std::string(text);
}

std::int32_t wordCode(Vocabulary vocabulary, std::string_view word)
{
    const std::string upper = upperCase(trimSpaces(word));
    if (isCompression(vocabulary)) {
        // One word list for the five compression options: each word keeps its code in its own list.
        for (Words list : {Words(kBmpTgaCompression), Words(kExrCompression), Words(kPngCompression),
                           Words(kTiffCompression)}) {
            const int at = positionIn(list, upper);
            if (at >= 0) return at;
        }
        return 0;
    }
    return std::max(positionIn(wordsOf(vocabulary), upper), 0);
}

std::string_view optionWord(Vocabulary vocabulary, std::int32_t code)
{
    const Words words = wordsOf(vocabulary);
    if (code < 0 || static_cast<std::size_t>(code) >= words.size()) return {};
    return words[static_cast<std::size_t>(code)];
}

std::int32_t parseNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i < text.size() && text[i] == '%') {
        base = 2;
        ++i;
    }
    // Unsigned arithmetic wraps like the 32-bit field the number ends up in.
    std::uint32_t result = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            break;
        if (digit >= base) break;
        result = result * base + digit;
    }
    if (negative) result = 0u - result;
    return static_cast<std::int32_t>(result);
}

float parseReal(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    if (text.starts_with('+') && !text.substr(1).starts_with('-')) text.remove_prefix(1);
    float value = 0.0f;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) return 0.0f;
    return ec == std::errc() ? value : 0.0f;
}

bool applyProfileKey(ConversionSettings& s, std::string_view key, std::string_view value)
{
    const SettingOption* option = findOption(upperCase(trimSpaces(key)), Source::Profile);
    if (option == nullptr) return false;
    applyOption(*option, value, Source::Profile, s);
    return true;
}

void runOptionLoop(const std::vector<std::string>& parameters, ConversionSettings& s, CommandLine& cl)
{
    const auto fail = [&cl](std::string_view error) { cl.errorText = std::string(error); };

    for (std::size_t n = 0; n < parameters.size(); ++n) {
        const std::string name = OptionName(parameters[n]);
        if (name.empty()) continue;

        // Input, output and conversion: the short forms take the next parameter as their value.
        std::string* path = nullptr;
        if (name == "-I" || name == "--INPUT") {
            cl.consoleRun = true;
            path = &cl.input;
        } else if (name == "-O" || name == "--OUTPUT") {
            path = &cl.outputFolder;
        } else if (name == "-C" || name == "--CONVERSION") {
            path = &cl.outputExtension;
        }
        if (path != nullptr) {
            std::string value;
            if (name.size() == 2) {
                if (n + 1 >= parameters.size()) return fail(kIncorrectParameters);
                // "-i --output=x" names no input, although the value of "--output=x" would be "x".
                if (trimSpaces(parameters[n + 1]).starts_with('-')) return fail(kIncorrectParameters);
                value = OptionValue(parameters[++n]);
            } else {
                value = OptionValue(parameters[n]);
            }
            if (!acceptablePath(value)) return fail(kIncorrectParameters);
            *path = stripQuotes(value);
            continue;
        }

        if (name == "-D" || name == "--DEBUG") {
            cl.runMarker = "DEBUG";
        } else if (name == "-Q" || name == "--QUIET") {
            cl.quiet = true;
        } else if (name == "-P" || name == "--PAUSE") {
            cl.pause = true;
        } else if (name == "--PROFILE") {
            const std::string value = OptionValue(parameters[n]);
            if (!acceptableValue(value)) return fail(kIncorrectParameters);
            if (!applyProfile(stripQuotes(value), s)) return fail(kInvalidProfile);
        } else if (const SettingOption* option = findOption(name, Source::CommandLine)) {
            if (option->kind == Kind::Flag) {
                applyOption(*option, {}, Source::CommandLine, s);
                continue;
            }
            const std::string value = OptionValue(parameters[n]);
            if (!acceptableValue(value)) return fail(kIncorrectParameters);
            applyOption(*option, value, Source::CommandLine, s);
        }
        // Anything else is not ours: skipped without a word.
    }
}

} // namespace cli
