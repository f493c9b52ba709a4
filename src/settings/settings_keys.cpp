#include "settings/settings_keys.h"

#include "settings/ini_text.h"

#include <algorithm>

namespace settings
{

SettingsKey& SettingsKey::onlyForInput(std::string_view name)
{
    written = Written::ForInputFormat;
    format = name;
    return *this;
}

SettingsKey& SettingsKey::onlyForOutput(std::string_view name)
{
    written = Written::ForOutputFormat;
    format = name;
    return *this;
}

SettingsKey& SettingsKey::onlyWithWindowPosition()
{
    written = Written::WithWindowPosition;
    return *this;
}

SettingsKey& SettingsKey::neverWritten()
{
    written = Written::Never;
    return *this;
}

SettingsKey& KeyTable::add(std::string_view group, std::string_view key, FieldAccessor f)
{
    rows.push_back(SettingsKey{group, key, f, Written::Always, {}});
    return rows.back();
}

SettingsKey& KeyTable::flag(std::string_view group, std::string_view key, FlagField f)
{
    return add(group, key, f);
}
SettingsKey& KeyTable::integer(std::string_view group, std::string_view key, IntegerField f)
{
    return add(group, key, f);
}
SettingsKey& KeyTable::real(std::string_view group, std::string_view key, RealField f)
{
    return add(group, key, f);
}
SettingsKey& KeyTable::text(std::string_view group, std::string_view key, TextField f)
{
    return add(group, key, f);
}

// One row per key, groups in file order and keys in the order they are written; keys that are
// only read stand at the end of their group. The per-format rows keep the record's order, which
// is also the order they are written in for each format on the edition lists.
void describeKeys(KeyTable& t)
{
    // clang-format off
    t.integer("General", "CFG",                  [](auto& s) -> auto& { return s.general.cfg; });
    t.text   ("General", "Language",             [](auto& s) -> auto& { return s.general.language; });
    t.integer("General", "Update Range",         [](auto& s) -> auto& { return s.general.updateRange; });
    t.integer("General", "Update Date",          [](auto& s) -> auto& { return s.general.updateDate; });
    t.flag   ("General", "Save Window Position", [](auto& s) -> auto& { return s.general.saveWindowPosition; });

    t.flag   ("Window", "IsMaximized",           [](auto& s) -> auto& { return s.window.isMaximized; }).onlyWithWindowPosition();
    t.integer("Window", "Width",                 [](auto& s) -> auto& { return s.window.width; }).onlyWithWindowPosition();
    t.integer("Window", "Height",                [](auto& s) -> auto& { return s.window.height; }).onlyWithWindowPosition();
    t.integer("Window", "X",                     [](auto& s) -> auto& { return s.window.x; }).onlyWithWindowPosition();
    t.integer("Window", "Y",                     [](auto& s) -> auto& { return s.window.y; }).onlyWithWindowPosition();
    t.flag   ("Window", "Hide Passwords",        [](auto& s) -> auto& { return s.window.hidePasswords; }).neverWritten();
    t.flag   ("Window", "Show Single Password",  [](auto& s) -> auto& { return s.window.showSinglePassword; }).neverWritten();
    t.flag   ("Window", "Show Password List",    [](auto& s) -> auto& { return s.window.showPasswordList; }).neverWritten();
    t.flag   ("Window", "Show Character Set",    [](auto& s) -> auto& { return s.window.showCharacterSet; }).neverWritten();
    t.flag   ("Window", "Show Advanced Options", [](auto& s) -> auto& { return s.window.showAdvancedOptions; }).neverWritten();

    t.text   ("Interface", "UI Theme",           [](auto& s) -> auto& { return s.interface.uiTheme; });
    t.integer("Interface", "UI Size",            [](auto& s) -> auto& { return s.interface.uiSize; });

    t.text   ("Input", "Format",                 [](auto& s) -> auto& { return s.input.format; });
    t.integer("Input", "DDS Load As",            [](auto& s) -> auto& { return s.input.ddsLoadAs; }).onlyForInput("dds");
    t.integer("Input", "GIF Frame Loading",      [](auto& s) -> auto& { return s.input.gifFrameLoading; }).onlyForInput("gif");
    t.integer("Input", "ICO Frame Loading",      [](auto& s) -> auto& { return s.input.icoFrameLoading; }).onlyForInput("ico");
    t.integer("Input", "TIFF Frame Loading",     [](auto& s) -> auto& { return s.input.tiffFrameLoading; }).onlyForInput("tiff");
    t.integer("Input", "RAW Load As",            [](auto& s) -> auto& { return s.input.rawLoadAs; }).onlyForInput("raw");
    t.integer("Input", "RAW Header Size",        [](auto& s) -> auto& { return s.input.rawHeaderSize; }).onlyForInput("raw");
    t.integer("Input", "RAW Image Width",        [](auto& s) -> auto& { return s.input.rawImageWidth; }).onlyForInput("raw");
    t.integer("Input", "RAW Image Height",       [](auto& s) -> auto& { return s.input.rawImageHeight; }).onlyForInput("raw");
    t.integer("Input", "RAW Tone Mapping",       [](auto& s) -> auto& { return s.input.rawToneMapping; }).onlyForInput("raw");

    t.text   ("Output", "Format",                [](auto& s) -> auto& { return s.output.format; });
    t.integer("Output", "BMP BPP",               [](auto& s) -> auto& { return s.output.bmpBpp; }).onlyForOutput("bmp");
    t.integer("Output", "BMP Compression",       [](auto& s) -> auto& { return s.output.bmpCompression; }).onlyForOutput("bmp");
    t.integer("Output", "BMP Color Table",       [](auto& s) -> auto& { return s.output.bmpColorTable; }).onlyForOutput("bmp");
    t.integer("Output", "DDS BPP",               [](auto& s) -> auto& { return s.output.ddsBpp; }).onlyForOutput("dds");
    t.integer("Output", "EXR BPP",               [](auto& s) -> auto& { return s.output.exrBpp; }).onlyForOutput("exr");
    t.integer("Output", "EXR Compression",       [](auto& s) -> auto& { return s.output.exrCompression; }).onlyForOutput("exr");
    t.integer("Output", "GIF BPP",               [](auto& s) -> auto& { return s.output.gifBpp; }).onlyForOutput("gif");
    t.integer("Output", "HDR BPP",               [](auto& s) -> auto& { return s.output.hdrBpp; }).onlyForOutput("hdr");
    t.integer("Output", "ICO BPP",               [](auto& s) -> auto& { return s.output.icoBpp; }).onlyForOutput("ico");
    t.integer("Output", "J2K BPP",               [](auto& s) -> auto& { return s.output.j2kBpp; }).onlyForOutput("j2k");
    t.integer("Output", "JNG BPP",               [](auto& s) -> auto& { return s.output.jngBpp; }).onlyForOutput("jng");
    t.integer("Output", "JP2 BPP",               [](auto& s) -> auto& { return s.output.jp2Bpp; }).onlyForOutput("jp2");
    t.integer("Output", "JPG BPP",               [](auto& s) -> auto& { return s.output.jpgBpp; }).onlyForOutput("jpg");
    t.integer("Output", "JPG Quality",           [](auto& s) -> auto& { return s.output.jpgQuality; }).onlyForOutput("jpg");
    t.integer("Output", "JPG Chroma",            [](auto& s) -> auto& { return s.output.jpgChroma; }).onlyForOutput("jpg");
    t.integer("Output", "JPG Save As",           [](auto& s) -> auto& { return s.output.jpgSaveAs; }).onlyForOutput("jpg");
    t.integer("Output", "JXR BPP",               [](auto& s) -> auto& { return s.output.jxrBpp; }).onlyForOutput("jxr");
    t.integer("Output", "PBM BPP",               [](auto& s) -> auto& { return s.output.pbmBpp; }).onlyForOutput("pbm");
    t.integer("Output", "PCX BPP",               [](auto& s) -> auto& { return s.output.pcxBpp; }).onlyForOutput("pcx");
    t.integer("Output", "PFM BPP",               [](auto& s) -> auto& { return s.output.pfmBpp; }).onlyForOutput("pfm");
    t.integer("Output", "PGM BPP",               [](auto& s) -> auto& { return s.output.pgmBpp; }).onlyForOutput("pgm");
    t.integer("Output", "PNG BPP",               [](auto& s) -> auto& { return s.output.pngBpp; }).onlyForOutput("png");
    t.integer("Output", "PNG Compression",       [](auto& s) -> auto& { return s.output.pngCompression; }).onlyForOutput("png");
    t.flag   ("Output", "PNG Interlaced",        [](auto& s) -> auto& { return s.output.pngInterlaced; }).onlyForOutput("png");
    t.integer("Output", "PPM BPP",               [](auto& s) -> auto& { return s.output.ppmBpp; }).onlyForOutput("ppm");
    t.integer("Output", "PSD BPP",               [](auto& s) -> auto& { return s.output.psdBpp; }).onlyForOutput("psd");
    t.integer("Output", "TGA BPP",               [](auto& s) -> auto& { return s.output.tgaBpp; }).onlyForOutput("tga");
    t.integer("Output", "TGA Compression",       [](auto& s) -> auto& { return s.output.tgaCompression; }).onlyForOutput("tga");
    t.integer("Output", "TIFF BPP",              [](auto& s) -> auto& { return s.output.tiffBpp; }).onlyForOutput("tiff");
    t.integer("Output", "TIFF Compression",      [](auto& s) -> auto& { return s.output.tiffCompression; }).onlyForOutput("tiff");
    t.integer("Output", "TIFF Color Model",      [](auto& s) -> auto& { return s.output.tiffColorModel; }).onlyForOutput("tiff");
    t.integer("Output", "WBMP BPP",              [](auto& s) -> auto& { return s.output.wbmpBpp; }).onlyForOutput("wbmp");
    t.integer("Output", "WEBP BPP",              [](auto& s) -> auto& { return s.output.webpBpp; }).onlyForOutput("webp");
    t.integer("Output", "XPM BPP",               [](auto& s) -> auto& { return s.output.xpmBpp; }).onlyForOutput("xpm");

    t.flag   ("Transform", "Do Image Rotation",         [](auto& s) -> auto& { return s.transform.doImageRotation; });
    t.flag   ("Transform", "Image Rotation Type",       [](auto& s) -> auto& { return s.transform.imageRotationType; });
    t.integer("Transform", "Image Rotation",            [](auto& s) -> auto& { return s.transform.imageRotation; });
    t.text   ("Transform", "Image Rotation Back Color", [](auto& s) -> auto& { return s.transform.imageRotationBackColor; });
    t.flag   ("Transform", "Do Image Resize",           [](auto& s) -> auto& { return s.transform.doImageResize; });
    t.integer("Transform", "Image Width",               [](auto& s) -> auto& { return s.transform.imageWidth; });
    t.flag   ("Transform", "Image Width Unit",          [](auto& s) -> auto& { return s.transform.imageWidthUnit; });
    t.integer("Transform", "Image Height",              [](auto& s) -> auto& { return s.transform.imageHeight; });
    t.flag   ("Transform", "Image Height Unit",         [](auto& s) -> auto& { return s.transform.imageHeightUnit; });
    t.flag   ("Transform", "Keep Aspect Ratio",         [](auto& s) -> auto& { return s.transform.keepAspectRatio; });
    t.flag   ("Transform", "Image Resize Type",         [](auto& s) -> auto& { return s.transform.imageResizeType; });
    t.flag   ("Transform", "Image Resize Algorithm",    [](auto& s) -> auto& { return s.transform.imageResizeAlgorithm; });
    t.flag   ("Transform", "Do Image Flip Horizontal",  [](auto& s) -> auto& { return s.transform.doImageFlipHorizontal; });
    t.flag   ("Transform", "Do Image Flip Vertical",    [](auto& s) -> auto& { return s.transform.doImageFlipVertical; });

    t.flag   ("Adjustment", "Do Image Color Correction", [](auto& s) -> auto& { return s.adjustment.doImageColorCorrection; });
    t.integer("Adjustment", "Image Brightness",          [](auto& s) -> auto& { return s.adjustment.imageBrightness; });
    t.integer("Adjustment", "Image Contrast",            [](auto& s) -> auto& { return s.adjustment.imageContrast; });
    t.real   ("Adjustment", "Image Gamma",               [](auto& s) -> auto& { return s.adjustment.imageGamma; });
    t.flag   ("Adjustment", "Image Invert",              [](auto& s) -> auto& { return s.adjustment.imageInvert; });
    t.flag   ("Adjustment", "Do Image Greyscale",        [](auto& s) -> auto& { return s.adjustment.doImageGreyscale; });
    t.flag   ("Adjustment", "Do Image Threshold",        [](auto& s) -> auto& { return s.adjustment.doImageThreshold; });
    t.integer("Adjustment", "Image Threshold",           [](auto& s) -> auto& { return s.adjustment.imageThreshold; });

    t.flag   ("Frame", "Do Frame",            [](auto& s) -> auto& { return s.frame.doFrame; });
    t.integer("Frame", "Solid Left",          [](auto& s) -> auto& { return s.frame.solidLeft; });
    t.integer("Frame", "Solid Right",         [](auto& s) -> auto& { return s.frame.solidRight; });
    t.integer("Frame", "Solid Top",           [](auto& s) -> auto& { return s.frame.solidTop; });
    t.integer("Frame", "Solid Bottom",        [](auto& s) -> auto& { return s.frame.solidBottom; });
    t.text   ("Frame", "Solid Left Color",    [](auto& s) -> auto& { return s.frame.solidLeftColor; });
    t.text   ("Frame", "Solid Right Color",   [](auto& s) -> auto& { return s.frame.solidRightColor; });
    t.text   ("Frame", "Solid Top Color",     [](auto& s) -> auto& { return s.frame.solidTopColor; });
    t.text   ("Frame", "Solid Bottom Color",  [](auto& s) -> auto& { return s.frame.solidBottomColor; });
    t.integer("Frame", "Solid Opacity",       [](auto& s) -> auto& { return s.frame.solidOpacity; });

    t.flag   ("Watermark", "Do Watermark",      [](auto& s) -> auto& { return s.watermark.doWatermark; });
    t.text   ("Watermark", "Text",              [](auto& s) -> auto& { return s.watermark.text; });
    t.text   ("Watermark", "Fonts",             [](auto& s) -> auto& { return s.watermark.fonts; });
    t.text   ("Watermark", "Font",              [](auto& s) -> auto& { return s.watermark.font; });
    t.integer("Watermark", "Font Size",         [](auto& s) -> auto& { return s.watermark.fontSize; });
    t.integer("Watermark", "Font Leading",      [](auto& s) -> auto& { return s.watermark.fontLeading; });
    t.text   ("Watermark", "Font Colors",       [](auto& s) -> auto& { return s.watermark.fontColors; });
    t.text   ("Watermark", "Font Color",        [](auto& s) -> auto& { return s.watermark.fontColor; });
    t.flag   ("Watermark", "Font Style",        [](auto& s) -> auto& { return s.watermark.fontStyle; });
    t.flag   ("Watermark", "Font Effect",       [](auto& s) -> auto& { return s.watermark.fontEffect; });
    t.flag   ("Watermark", "Text Antialiasing", [](auto& s) -> auto& { return s.watermark.textAntialiasing; });
    t.flag   ("Watermark", "Text Alignment",    [](auto& s) -> auto& { return s.watermark.textAlignment; });
    t.integer("Watermark", "Text Padding",      [](auto& s) -> auto& { return s.watermark.textPadding; });
    t.integer("Watermark", "Text Opacity",      [](auto& s) -> auto& { return s.watermark.textOpacity; });
    t.text   ("Watermark", "Back Colors",       [](auto& s) -> auto& { return s.watermark.backColors; });
    t.text   ("Watermark", "Back Color",        [](auto& s) -> auto& { return s.watermark.backColor; });
    t.integer("Watermark", "Back Opacity",      [](auto& s) -> auto& { return s.watermark.backOpacity; });
    t.flag   ("Watermark", "Text Boundary",     [](auto& s) -> auto& { return s.watermark.textBoundary; });
    t.flag   ("Watermark", "Text Position",     [](auto& s) -> auto& { return s.watermark.textPosition; });
    t.integer("Watermark", "Text X Offset",     [](auto& s) -> auto& { return s.watermark.textXOffset; });
    t.integer("Watermark", "Text Y Offset",     [](auto& s) -> auto& { return s.watermark.textYOffset; });
    t.integer("Watermark", "Text Rotation",     [](auto& s) -> auto& { return s.watermark.textRotation; });
    t.flag   ("Watermark", "Text Size",         [](auto& s) -> auto& { return s.watermark.textSize; });
    t.integer("Watermark", "Text Scale",        [](auto& s) -> auto& { return s.watermark.textScale; });
    t.text   ("Watermark", "Image",             [](auto& s) -> auto& { return s.watermark.image; });
    t.flag   ("Watermark", "Image Greyscale",   [](auto& s) -> auto& { return s.watermark.imageGreyscale; });
    t.integer("Watermark", "Image Opacity",     [](auto& s) -> auto& { return s.watermark.imageOpacity; });
    t.flag   ("Watermark", "Image Boundary",    [](auto& s) -> auto& { return s.watermark.imageBoundary; });
    t.flag   ("Watermark", "Image Position",    [](auto& s) -> auto& { return s.watermark.imagePosition; });
    t.integer("Watermark", "Image X Offset",    [](auto& s) -> auto& { return s.watermark.imageXOffset; });
    t.integer("Watermark", "Image Y Offset",    [](auto& s) -> auto& { return s.watermark.imageYOffset; });
    t.integer("Watermark", "Image Rotation",    [](auto& s) -> auto& { return s.watermark.imageRotation; });
    t.flag   ("Watermark", "Image Size",        [](auto& s) -> auto& { return s.watermark.imageSize; });
    t.integer("Watermark", "Image Scale",       [](auto& s) -> auto& { return s.watermark.imageScale; });

    t.text   ("Advanced", "Filename Mask",       [](auto& s) -> auto& { return s.advanced.filenameMask; });
    t.flag   ("Advanced", "File Timestamp",      [](auto& s) -> auto& { return s.advanced.fileTimestamp; });
    t.integer("Advanced", "Custom Timestamp",    [](auto& s) -> auto& { return s.advanced.customTimestamp; });
    t.flag   ("Advanced", "Out Folders History", [](auto& s) -> auto& { return s.advanced.outFoldersHistory; });
    t.flag   ("Advanced", "Out Folders Number",  [](auto& s) -> auto& { return s.advanced.outFoldersNumber; });
    t.flag   ("Advanced", "Keep Subfolders",     [](auto& s) -> auto& { return s.advanced.keepSubfolders; });

    t.text   ("File", "Recent Out Folders", [](auto& s) -> auto& { return s.file.recentOutFolders; });
    t.text   ("File", "Recent Files",       [](auto& s) -> auto& { return s.file.recentFiles; });
    t.text   ("File", "TxtFields",          [](auto& s) -> auto& { return s.file.txtFields; }).neverWritten();
    t.text   ("File", "CsvDelimiter",       [](auto& s) -> auto& { return s.file.csvDelimiter; }).neverWritten();

    t.flag   ("Privacy", "Clean Recent Files", [](auto& s) -> auto& { return s.privacy.cleanRecentFiles; });
    // clang-format on
}

const std::vector<SettingsKey>& settingsKeys()
{
    static const std::vector<SettingsKey> table = [] {
        KeyTable t;
        describeKeys(t);
        return std::move(t.rows);
    }();
    return table;
}

const std::vector<std::string_view>& settingsGroups()
{
    static const std::vector<std::string_view> groups = [] {
        std::vector<std::string_view> out;
        for (const SettingsKey& k : settingsKeys()) {
            if (out.empty() || out.back() != k.group)
                out.push_back(k.group);
        }
        return out;
    }();
    return groups;
}

const SettingsKey* findKey(std::string_view group, std::string_view key)
{
    for (const SettingsKey& k : settingsKeys()) {
        if (ini::equalsIgnoreCase(k.group, group) && ini::equalsIgnoreCase(k.key, key))
            return &k;
    }
    return nullptr;
}

namespace
{

// Whether another group holds a key of the same name ("Format", "Image Rotation").
bool occursInTwoGroups(const SettingsKey& row)
{
    return std::ranges::any_of(settingsKeys(), [&](const SettingsKey& k) {
        return &k != &row && ini::equalsIgnoreCase(k.key, row.key);
    });
}

} // namespace

const SettingsKey* findKey(std::string_view name)
{
    if (const std::size_t slash = name.find('/'); slash != std::string_view::npos) {
        return findKey(name.substr(0, slash), name.substr(slash + 1));
    }
    const SettingsKey* found = nullptr;
    for (const SettingsKey& k : settingsKeys()) {
        if (!ini::equalsIgnoreCase(k.key, name))
            continue;
        if (found != nullptr)
            return nullptr; // twofold key: it needs its group
        found = &k;
    }
    return found;
}

std::string fieldName(const SettingsKey& k)
{
    if (occursInTwoGroups(k))
        return std::string(k.group) + "/" + std::string(k.key);
    return std::string(k.key);
}

std::string formatValue(const ConversionSettings& s, const SettingsKey& k)
{
    // The accessors hand out writable references; reading through them changes nothing.
    auto& record = const_cast<ConversionSettings&>(s);
    switch (k.kind()) {
    case KeyKind::Flag:
        return std::to_string(static_cast<int>(std::get<FlagField>(k.field)(record)));
    case KeyKind::Integer:
        return std::to_string(std::get<IntegerField>(k.field)(record));
    case KeyKind::Real:
        return ini::formatReal(std::get<RealField>(k.field)(record));
    case KeyKind::Text:
        return ini::singleLine(std::get<TextField>(k.field)(record));
    }
    return {};
}

void setNumber(ConversionSettings& s, const SettingsKey& k, std::int64_t n)
{
    // Keep the low bits, as older settings files expect (a 200 in the file is a flag of -56).
    switch (k.kind()) {
    case KeyKind::Flag:
        std::get<FlagField>(k.field)(s) = static_cast<Flag>(static_cast<std::uint8_t>(n));
        break;
    case KeyKind::Integer:
        std::get<IntegerField>(k.field)(s) = static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
        break;
    case KeyKind::Real:
        std::get<RealField>(k.field)(s) = static_cast<float>(n);
        break;
    case KeyKind::Text:
        std::get<TextField>(k.field)(s) = std::to_string(n);
        break;
    }
}

void setFromText(ConversionSettings& s, const SettingsKey& k, std::string_view value)
{
    switch (k.kind()) {
    case KeyKind::Flag:
    case KeyKind::Integer:
        setNumber(s, k, ini::parseInteger(value));
        break;
    case KeyKind::Real:
        std::get<RealField>(k.field)(s) = ini::parseReal(value);
        break;
    case KeyKind::Text:
        std::get<TextField>(k.field)(s) = std::string(ini::trimBlanks(value));
        break;
    }
}

} // namespace settings
