// The one settings record of the program: every option of loading, transforming, stamping,
// framing, saving and naming, plus the few interface settings. Its groups and field names mirror
// the groups and keys of config.ini; the comments give the key each field is stored under.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// Field kinds: a flag/code keeps only the low 8 bits of what is read (so 300 holds 44 and a
// stored 200 is written back as -56); integers are 32-bit; Image Gamma is the only real.
using Flag = std::int8_t;

struct GeneralSettings {
    std::int32_t cfg = 17;             // CFG: layout version of the settings file
    std::string language = "en";       // Language
    std::int32_t updateRange = 2;      // Update Range: 0 day .. 4 half-year, 5 never
    std::int32_t updateDate = 0;       // Update Date: seconds since 1970, local time
    Flag saveWindowPosition = 1;       // Save Window Position

    friend bool operator==(const GeneralSettings&, const GeneralSettings&) = default;
};

struct WindowSettings {
    Flag isMaximized = 0;              // IsMaximized
    std::int32_t x = 100;              // X
    std::int32_t y = 100;              // Y
    std::int32_t width = 510;          // Width
    std::int32_t height = 330;         // Height
    Flag hidePasswords = 0;            // Hide Passwords (no effect)
    Flag showSinglePassword = 1;       // Show Single Password (no effect)
    Flag showPasswordList = 1;         // Show Password List (no effect)
    Flag showCharacterSet = 1;         // Show Character Set (no effect)
    Flag showAdvancedOptions = 1;      // Show Advanced Options (no effect)

    friend bool operator==(const WindowSettings&, const WindowSettings&) = default;
};

struct InterfaceSettings {
    std::string uiTheme = "handdrawn"; // UI Theme
    std::int32_t uiSize = 2;           // UI Size: 0 Small .. 4 Huge

    friend bool operator==(const InterfaceSettings&, const InterfaceSettings&) = default;
};

struct InputSettings {
    std::string format = "raw";        // Input/Format
    std::int32_t ddsLoadAs = 0;        // DDS Load As
    std::int32_t gifFrameLoading = 0;  // GIF Frame Loading
    std::int32_t icoFrameLoading = 0;  // ICO Frame Loading
    std::int32_t tiffFrameLoading = 0; // TIFF Frame Loading
    std::int32_t rawLoadAs = 0;        // RAW Load As: 0 Auto, 1 RGB8, 2 RGB16, 3 RGB24, 4 RGB48HS, 5 RGB48
    std::int32_t rawHeaderSize = 0;    // RAW Header Size
    std::int32_t rawImageWidth = 0;    // RAW Image Width
    std::int32_t rawImageHeight = 0;   // RAW Image Height
    std::int32_t rawToneMapping = 2;   // RAW Tone Mapping: 0 None, 1 Linear, 2 Drago, 3 Reinhard, 4 Fattal

    friend bool operator==(const InputSettings&, const InputSettings&) = default;
};

// Every BPP field is a bit depth, or 0 for automatic.
struct OutputSettings {
    std::string format = "jpg";        // Output/Format
    std::int32_t bmpBpp = 0;           // BMP BPP
    std::int32_t bmpCompression = 0;   // BMP Compression: 0 None, 1 RLE
    std::int32_t bmpColorTable = 0;    // BMP Color Table: 0 Auto, 1 Exact
    std::int32_t ddsBpp = 0;           // DDS BPP
    std::int32_t exrBpp = 0;           // EXR BPP
    std::int32_t exrCompression = 0;   // EXR Compression: 0 None, 1 ZIP, 2 PIZ, 3 PXR24, 4 B44
    std::int32_t gifBpp = 0;           // GIF BPP
    std::int32_t hdrBpp = 0;           // HDR BPP
    std::int32_t icoBpp = 0;           // ICO BPP
    std::int32_t j2kBpp = 0;           // J2K BPP
    std::int32_t jngBpp = 0;           // JNG BPP
    std::int32_t jp2Bpp = 0;           // JP2 BPP
    std::int32_t jpgBpp = 0;           // JPG BPP
    std::int32_t jpgQuality = 95;      // JPG Quality: 1..100
    std::int32_t jpgChroma = 0;        // JPG Chroma: 0 None, 1 Low, 2 Medium, 3 High
    std::int32_t jpgSaveAs = 0;        // JPG Save As: 0 Standard, 1 Simple, 2 Optimized, 3 Progressive
    std::int32_t jxrBpp = 0;           // JXR BPP
    std::int32_t pbmBpp = 0;           // PBM BPP
    std::int32_t pcxBpp = 0;           // PCX BPP
    std::int32_t pfmBpp = 0;           // PFM BPP
    std::int32_t pgmBpp = 0;           // PGM BPP
    std::int32_t pngBpp = 0;           // PNG BPP
    std::int32_t pngCompression = 0;   // PNG Compression: 0 None, 1 ZLib 1, 2 ZLib 6, 3 ZLib 9
    Flag pngInterlaced = 0;            // PNG Interlaced
    std::int32_t ppmBpp = 0;           // PPM BPP
    std::int32_t psdBpp = 0;           // PSD BPP
    std::int32_t tgaBpp = 0;           // TGA BPP
    std::int32_t tgaCompression = 0;   // TGA Compression: 0 None, 1 RLE
    std::int32_t tiffBpp = 0;          // TIFF BPP
    std::int32_t tiffCompression = 0;  // TIFF Compression: 0 None .. 8 LogLuv
    std::int32_t tiffColorModel = 0;   // TIFF Color Model: 0 RGB, 1 CMYK, 2 LAB
    std::int32_t wbmpBpp = 0;          // WBMP BPP
    std::int32_t webpBpp = 0;          // WEBP BPP
    std::int32_t xpmBpp = 0;           // XPM BPP

    friend bool operator==(const OutputSettings&, const OutputSettings&) = default;
};

struct TransformSettings {
    Flag doImageRotation = 0;                         // Do Image Rotation
    Flag imageRotationType = 0;                       // Image Rotation Type: 0 Simple, 1 Advanced
    std::int32_t imageRotation = 0;                   // Transform/Image Rotation: degrees 0..360
    std::string imageRotationBackColor = "000000";    // Image Rotation Back Color
    Flag doImageResize = 0;                           // Do Image Resize
    std::int32_t imageWidth = 0;                      // Image Width
    Flag imageWidthUnit = 0;                          // Image Width Unit: 0 pixels, 1 percent
    std::int32_t imageHeight = 0;                     // Image Height
    Flag imageHeightUnit = 0;                         // Image Height Unit: 0 pixels, 1 percent
    Flag keepAspectRatio = 1;                         // Keep Aspect Ratio (0 on the command line)
    Flag imageResizeType = 0;                         // Image Resize Type: 0 All, 1 Large Images
    Flag imageResizeAlgorithm = 3;                    // Image Resize Algorithm: 0 Box .. 5 Lanczos
    Flag doImageFlipHorizontal = 0;                   // Do Image Flip Horizontal
    Flag doImageFlipVertical = 0;                     // Do Image Flip Vertical

    friend bool operator==(const TransformSettings&, const TransformSettings&) = default;
};

struct AdjustmentSettings {
    Flag doImageColorCorrection = 0;   // Do Image Color Correction (derived, see UpdateColorCorrectionFlag)
    std::int32_t imageBrightness = 0;  // Image Brightness: -100..100
    std::int32_t imageContrast = 0;    // Image Contrast: -100..100
    float imageGamma = 1.0f;           // Image Gamma: 0.01..9.99
    Flag imageInvert = 0;              // Image Invert
    Flag doImageGreyscale = 0;         // Do Image Greyscale
    Flag doImageThreshold = 0;         // Do Image Threshold
    std::int32_t imageThreshold = 0;   // Image Threshold: 0..255

    friend bool operator==(const AdjustmentSettings&, const AdjustmentSettings&) = default;
};

struct FrameSettings {
    Flag doFrame = 0;                              // Do Frame: 0 None, 1 Solid Color
    std::int32_t solidLeft = 0;                    // Solid Left
    std::int32_t solidRight = 0;                   // Solid Right
    std::int32_t solidTop = 0;                     // Solid Top
    std::int32_t solidBottom = 0;                  // Solid Bottom
    std::string solidLeftColor = "000000";         // Solid Left Color
    std::string solidRightColor = "000000";        // Solid Right Color
    std::string solidTopColor = "000000";          // Solid Top Color
    std::string solidBottomColor = "000000";       // Solid Bottom Color
    std::int32_t solidOpacity = 255;               // Solid Opacity: 1..255

    friend bool operator==(const FrameSettings&, const FrameSettings&) = default;
};

inline constexpr std::string_view kDefaultColorList = "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF";

struct WatermarkSettings {
    Flag doWatermark = 0;                            // Do Watermark: 0 None, 1 Text, 2 Image
    std::string text;                                // Text (default: defaultWatermarkText())
    std::string fonts = "Arial,Tahoma,Verdana";      // Fonts (interface only)
    std::string font = "Arial";                      // Font
    std::int32_t fontSize = 14;                      // Font Size: points
    std::int32_t fontLeading = 0;                    // Font Leading: extra pixels between lines
    std::string fontColors{kDefaultColorList};       // Font Colors (interface only)
    std::string fontColor = "FFFFFF";                // Font Color
    Flag fontStyle = 0;                              // Font Style: 0 Regular, 1 Bold, 2 Italic, 3 Bold Italic
    Flag fontEffect = 0;                             // Font Effect: 0 None, 1 Underline, 2 Strikethrough
    Flag textAntialiasing = 0;                       // Text Antialiasing
    Flag textAlignment = 0;                          // Text Alignment: 0 Left, 1 Center, 2 Right
    std::int32_t textPadding = 0;                    // Text Padding
    std::int32_t textOpacity = 255;                  // Text Opacity: 1..255
    std::string backColors{kDefaultColorList};       // Back Colors (interface only)
    std::string backColor = "000000";                // Back Color
    std::int32_t backOpacity = 1;                    // Back Opacity: 1..255
    Flag textBoundary = 0;                           // Text Boundary: 0 Image, 1 Frame
    Flag textPosition = 8;                           // Text Position: 0 Top-Left .. 8 Bottom-Right
    std::int32_t textXOffset = 10;                   // Text X Offset
    std::int32_t textYOffset = 10;                   // Text Y Offset
    std::int32_t textRotation = 0;                   // Text Rotation: degrees
    Flag textSize = 0;                               // Text Size (no effect)
    std::int32_t textScale = 10;                     // Text Scale (no effect)
    std::string image;                               // Image: path of the watermark image
    Flag imageGreyscale = 0;                         // Image Greyscale
    std::int32_t imageOpacity = 255;                 // Image Opacity: 1..255
    Flag imageBoundary = 0;                          // Image Boundary: 0 Image, 1 Frame
    Flag imagePosition = 8;                          // Image Position: as Text Position
    std::int32_t imageXOffset = 10;                  // Image X Offset
    std::int32_t imageYOffset = 10;                  // Image Y Offset
    std::int32_t imageRotation = 0;                  // Watermark/Image Rotation: degrees
    Flag imageSize = 0;                              // Image Size (no effect)
    std::int32_t imageScale = 10;                    // Image Scale (no effect)

    friend bool operator==(const WatermarkSettings&, const WatermarkSettings&) = default;
};

struct AdvancedSettings {
    std::string filenameMask = "%filename%.%ext%";   // Filename Mask
    Flag fileTimestamp = 0;                          // File Timestamp: 0 Current, 1 Original, 2 Custom
    std::int32_t customTimestamp = 0;                // Custom Timestamp: seconds since 1970, local time
    Flag outFoldersHistory = 1;                      // Out Folders History: 0 Clean On Exit, 1 Keep
    Flag outFoldersNumber = 5;                       // Out Folders Number: 1..50
    Flag keepSubfolders = 1;                         // Keep Subfolders

    friend bool operator==(const AdvancedSettings&, const AdvancedSettings&) = default;
};

struct FileSettings {
    std::string txtFields = "username,password,firstname,lastname,title,sex,notes"; // TxtFields (never written)
    std::string csvDelimiter = ",";                  // CsvDelimiter (never written)
    std::string recentOutFolders;                    // Recent Out Folders: TAB-separated, most recent first
    std::string recentFiles;                         // Recent Files (kept unchanged)

    friend bool operator==(const FileSettings&, const FileSettings&) = default;
};

struct PrivacySettings {
    Flag cleanRecentFiles = 0;                       // Clean Recent Files (kept unchanged)

    friend bool operator==(const PrivacySettings&, const PrivacySettings&) = default;
};

struct ConversionSettings {
    GeneralSettings general;
    WindowSettings window;
    InterfaceSettings interface;
    InputSettings input;
    OutputSettings output;
    TransformSettings transform;
    AdjustmentSettings adjustment;
    FrameSettings frame;
    WatermarkSettings watermark;
    AdvancedSettings advanced;
    FileSettings file;
    PrivacySettings privacy;

    // Not a setting: where the settings file lives. Resetting to defaults leaves it alone.
    std::string settingsPath;

    // Field by field, the settings path included.
    friend bool operator==(const ConversionSettings&, const ConversionSettings&) = default;
};

// Size of the primary desktop in pixels; a console run has none (both 0).
struct DesktopSize {
    int width = 0;
    int height = 0;
};

// Sets every field to its default: the desktop variant, or the command-line variant, which
// differs only in Keep Aspect Ratio = 0. Update Date and Custom Timestamp take the current local
// time; the window is centred on `desktop`. `settingsPath` is kept.
void ResetToDefaults(ConversionSettings& s, bool commandLine, DesktopSize desktop = {});

// Recomputes Do Image Color Correction: 1 when brightness, contrast, gamma or invert are not neutral.
void UpdateColorCorrectionFlag(ConversionSettings& s);

// The fixed edition lists of formats this build offers, in order.
const std::vector<std::string>& InputFormatList();
const std::vector<std::string>& OutputFormatList();

// The default watermark text: a one-line ownership notice of the maker.
std::string defaultWatermarkText();

// The current time as seconds since 1970-01-01 00:00:00 counted in local time.
std::int32_t localTimeNow();

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// "RRGGBB" to a colour: anything but six characters (counted as characters, not UTF-8 bytes) is
// black; each pair is read as hex digits up to the first character that is not one (so "F" then
// "Z" reads 15, "Z" first reads 0). Lower-case digits are accepted.
Rgb ParseColor(std::string_view text);
// A colour as six upper-case hex digits, red first.
std::string FormatColor(Rgb c);

} // namespace settings
