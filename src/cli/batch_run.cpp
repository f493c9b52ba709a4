#include "cli/batch_run.h"

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string_view>
#include <system_error>

#include "cli/batch_steps.h"
#include "engine/output_encoding.h"

namespace cli {
namespace {

namespace fs = std::filesystem;
using settings::ConversionSettings;

std::string lowerCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string upperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string number(std::int64_t value)
{
    return std::to_string(value);
}

std::string twoDecimals(float value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(value));
    return buffer;
}

// The text after the last dot of the last path component; empty when there is none.
std::string_view extensionPart(std::string_view path)
{
    const auto slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

// Everything up to and including the last "/"; empty when there is none.
std::string pathPart(std::string_view path)
{
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string{} : std::string(path.substr(0, slash + 1));
}

class Printer {
  public:
    Printer(std::ostream& out, bool quiet, bool debug) : m_out(out), m_quiet(quiet), m_debug(debug) {}

    void line(std::string_view text)
    {
        m_out << text << '\n';
        m_out.flush(); // the worker thread prints between our lines
    }
    void status(std::string_view text)
    {
        if (!m_quiet) line(text);
    }
    void debug(std::string_view label, std::string_view value)
    {
        if (m_debug) {
            std::string text(label);
            text += value;
            line(text);
        }
    }
    void debug(std::string_view label, std::int64_t value) { debug(label, number(value)); }
    void error(std::string_view text)
    {
        std::string full = "Error: ";
        full += text;
        line(full);
    }
    [[nodiscard]] bool isDebug() const { return m_debug; }

  private:
    std::ostream& m_out;
    bool m_quiet;
    bool m_debug;
};

// A folder named on the command line, made absolute against the working folder, with a trailing
// "/". Empty when it starts with ".." (refused without looking at the disk).
enum class FolderCheck { Ok, Incorrect, Invalid };

FolderCheck resolveFolder(std::string& folder, const std::string& workingFolder)
{
    if (folder.starts_with("..")) return FolderCheck::Incorrect;
    if (!folder.starts_with('/')) {
        std::string_view relative = folder;
        if (relative.starts_with("./")) relative.remove_prefix(2);
        folder = workingFolder + std::string(relative);
    }
    if (!folder.ends_with('/')) folder += '/';
    std::error_code ec;
    return fs::is_directory(folder, ec) ? FolderCheck::Ok : FolderCheck::Invalid;
}

bool isNonEmptyFile(const std::string& path)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    const auto size = fs::file_size(path, ec);
    return !ec && size > 0;
}

void echoInputOptions(Printer& p, const settings::InputSettings& in, std::string_view format)
{
    using V = Vocabulary;
    if (format == "dds") {
        p.debug("DDS Load As: ", optionWord(V::DdsPixelOrder, in.ddsLoadAs));
    } else if (format == "gif") {
        p.debug("GIF Frame Loading: ", optionWord(V::FrameChoice, in.gifFrameLoading));
    } else if (format == "ico") {
        p.debug("ICO Frame Loading: ", optionWord(V::FrameChoice, in.icoFrameLoading));
    } else if (format == "raw") {
        p.debug("RAW Load As: ", optionWord(V::RawLoadMode, in.rawLoadAs));
        p.debug("RAW Header Size: ", in.rawHeaderSize);
        p.debug("RAW Image Width: ", in.rawImageWidth);
        p.debug("RAW Image Height: ", in.rawImageHeight);
        p.debug("RAW Tone Mapping: ", optionWord(V::ToneMapping, in.rawToneMapping));
    } else if (format == "tiff") {
        p.debug("TIFF Frame Loading: ", optionWord(V::FrameChoice, in.tiffFrameLoading));
    }
}

// The output format's echo and checks; false after printing the first failure.
bool checkOutputOptions(Printer& p, const ConversionSettings& s, const engine::FormatRegistry& registry,
                        const std::string& extension)
{
    using V = Vocabulary;
    const settings::OutputSettings& out = s.output;
    const int bpp = engine::bitDepthSetting(out, extension);
    p.debug(upperCase(extension) + " BPP: ", bpp);
    if (extension == "bmp") {
        p.debug("BMP Compression: ", optionWord(V::BmpCompression, out.bmpCompression));
        p.debug("BMP Color Table: ", optionWord(V::ColorTable, out.bmpColorTable));
    } else if (extension == "exr") {
        p.debug("EXR Compression: ", optionWord(V::ExrCompression, out.exrCompression));
    } else if (extension == "jpg") {
        p.debug("JPG Quality: ", out.jpgQuality);
        p.debug("JPG Chroma Subsampling: ", optionWord(V::Chroma, out.jpgChroma));
        p.debug("JPG Save As: ", optionWord(V::JpegSaveMode, out.jpgSaveAs));
    } else if (extension == "png") {
        p.debug("PNG Compression: ", optionWord(V::PngCompression, out.pngCompression));
        p.debug("PNG Interlaced: ", out.pngInterlaced != 0 ? 1 : 0);
    } else if (extension == "tga") {
        p.debug("TGA Compression: ", optionWord(V::TgaCompression, out.tgaCompression));
    } else if (extension == "tiff") {
        p.debug("TIFF Compression: ", optionWord(V::TiffCompression, out.tiffCompression));
        p.debug("TIFF Color Model: ", optionWord(V::ColorModel, out.tiffColorModel));
    }

    if (bpp != 0) {
        const engine::OutputFormat* format = engine::findOutputFormat(registry, extension);
        bool allowed = false;
        if (format != nullptr)
            for (int depth : format->depths)
                allowed = allowed || depth == bpp;
        if (!allowed) {
            p.error("Invalid " + lowerCase(extension) + "-bpp value");
            return false;
        }
    }
    if (extension == "jpg" && (out.jpgQuality < 1 || out.jpgQuality > 100)) {
        p.error("Invalid jpg-quality value");
        return false;
    }
    return true;
}

bool checkTransform(Printer& p, const settings::TransformSettings& t)
{
    using V = Vocabulary;
    if (t.doImageRotation != 0) {
        p.debug("Image Rotation Type: ", optionWord(V::RotationType, t.imageRotationType));
        p.debug("Image Rotation: ", t.imageRotation);
        p.debug("Image Rotation Back Color: ", t.imageRotationBackColor);
    }
    if (t.doImageResize != 0) {
        p.debug("Width: ", number(t.imageWidth) + " " + std::string(optionWord(V::Unit, t.imageWidthUnit)));
        if (t.imageWidth == 0) {
            p.error("Invalid width value");
            return false;
        }
        p.debug("Height: ",
                number(t.imageHeight) + " " + std::string(optionWord(V::Unit, t.imageHeightUnit)));
        if (t.imageHeight == 0) {
            p.error("Invalid height value");
            return false;
        }
        p.debug("Keep Aspect Ratio: ", t.keepAspectRatio);
        p.debug("Image Resize Type: ", optionWord(V::ResizeType, t.imageResizeType));
        p.debug("Image Resize Algorithm: ", optionWord(V::ResizeFilter, t.imageResizeAlgorithm));
    }
    p.debug("Flip Horizontal: ", t.doImageFlipHorizontal != 0 ? 1 : 0);
    p.debug("Flip Vertical: ", t.doImageFlipVertical != 0 ? 1 : 0);
    return true;
}

bool checkAdjustment(Printer& p, const settings::AdjustmentSettings& a)
{
    if (a.doImageColorCorrection != 0) {
        p.debug("Brightness: ", a.imageBrightness);
        if (a.imageBrightness < -100 || a.imageBrightness > 100) {
            p.error("Invalid brightness value");
            return false;
        }
        p.debug("Contrast: ", a.imageContrast);
        if (a.imageContrast < -100 || a.imageContrast > 100) {
            p.error("Invalid contrast value");
            return false;
        }
        p.debug("Gamma: ", twoDecimals(a.imageGamma));
        // Written so that a gamma that is not a number fails too.
        if (!(a.imageGamma >= 0.01f && a.imageGamma <= 9.99f)) {
            p.error("Invalid gamma value");
            return false;
        }
        p.debug("Invert: ", a.imageInvert != 0 ? 1 : 0);
    }
    p.debug("Greyscale: ", a.doImageGreyscale != 0 ? 1 : 0);
    if (a.doImageThreshold != 0) p.debug("Image Threshold: ", a.imageThreshold);
    return true;
}

void echoFrame(Printer& p, const settings::FrameSettings& f)
{
    p.debug("Frame: ", optionWord(Vocabulary::FrameType, f.doFrame));
    if (f.doFrame != 1) return;
    p.debug("Frame left: ", f.solidLeft);
    p.debug("Frame right: ", f.solidRight);
    p.debug("Frame top: ", f.solidTop);
    p.debug("Frame bottom: ", f.solidBottom);
    p.debug("Frame left color: ", f.solidLeftColor);
    p.debug("Frame right color: ", f.solidRightColor);
    p.debug("Frame top color: ", f.solidTopColor);
    p.debug("Frame bottom color: ", f.solidBottomColor);
    p.debug("Frame opacity: ", f.solidOpacity);
}

bool checkWatermark(Printer& p, const settings::WatermarkSettings& w, BatchResources& resources)
{
    using V = Vocabulary;
    p.debug("Watermark: ", optionWord(V::WatermarkType, w.doWatermark));
    if (w.doWatermark == 1) {
        p.debug("Watermark text: ", w.text);
        p.debug("Watermark font: ", w.font);
        p.debug("Watermark font size: ", w.fontSize);
        p.debug("Watermark font leading: ", w.fontLeading);
        p.debug("Watermark font color: ", w.fontColor);
        p.debug("Watermark font style: ", optionWord(V::FontStyle, w.fontStyle));
        p.debug("Watermark font effect: ", optionWord(V::FontEffect, w.fontEffect));
        p.debug("Watermark text antialiasing: ", w.textAntialiasing != 0 ? 1 : 0);
        p.debug("Watermark text alignment: ", optionWord(V::Alignment, w.textAlignment));
        p.debug("Watermark text padding: ", w.textPadding);
        p.debug("Watermark text opacity: ", w.textOpacity);
        p.debug("Watermark background color: ", w.backColor);
        p.debug("Watermark background opacity: ", w.backOpacity);
        p.debug("Watermark boundary: ", optionWord(V::Boundary, w.textBoundary));
        p.debug("Watermark position: ", optionWord(V::Position, w.textPosition));
        p.debug("Watermark offset (x/y): ", number(w.textXOffset) + "/" + number(w.textYOffset));
        p.debug("Watermark rotation: ", w.textRotation);
        p.debug("Watermark size/mode: ", optionWord(V::SizeMode, w.textSize));
        if (!resources.loadWatermarkFont(w)) {
            p.error("Invalid watermark font");
            return false;
        }
    } else if (w.doWatermark == 2) {
        p.debug("Watermark image: ", w.image);
        p.debug("Watermark greyscale: ", w.imageGreyscale);
        p.debug("Watermark opacity: ", w.imageOpacity);
        p.debug("Watermark boundary: ", optionWord(V::Boundary, w.imageBoundary));
        p.debug("Watermark position: ", optionWord(V::Position, w.imagePosition));
        p.debug("Watermark offset (x/y): ", number(w.imageXOffset) + "/" + number(w.imageYOffset));
        p.debug("Watermark rotation: ", w.imageRotation);
        p.debug("Watermark size/mode: ", optionWord(V::SizeMode, w.imageSize));
        if (!isNonEmptyFile(w.image)) {
            p.error("Invalid watermark image");
            return false;
        }
    }
    return true;
}

void echoNaming(Printer& p, const settings::AdvancedSettings& a)
{
    p.debug("Filename Mask: ", a.filenameMask);
    p.debug("File Timestamp: ", optionWord(Vocabulary::Timestamp, a.fileTimestamp));
    if (a.fileTimestamp == 2) p.debug("Custom Timestamp: ", a.customTimestamp);
    p.debug("Keep Subfolders: ", a.keepSubfolders != 0 ? 1 : 0);
}

// Steps up to the completed job: every check, in order, with the debug echo. False after the
// first failure has been printed.
bool prepareJob(const CommandLine& cl, BatchContext& ctx, Printer& p, BatchResources& resources)
{
    ConversionSettings& s = ctx.settings;
    engine::ConversionJob& job = ctx.job;

    p.debug("Input: ", cl.input);

    // A path whose last component has an extension is a file (used as typed), else a folder.
    if (!extensionPart(cl.input).empty()) {
        job.inputFile = cl.input;
        job.inputFolder.clear();
        if (!isNonEmptyFile(job.inputFile)) {
            p.error("Invalid input file");
            return false;
        }
    } else {
        job.inputFile.clear();
        job.inputFolder = cl.input;
        switch (resolveFolder(job.inputFolder, ctx.workingFolder)) {
        case FolderCheck::Incorrect:
            p.error("Incorrect input folder");
            return false;
        case FolderCheck::Invalid:
            p.error("Invalid input folder");
            return false;
        case FolderCheck::Ok:
            break;
        }
    }

    job.outputFolder = cl.outputFolder;
    if (job.outputFolder.empty())
        job.outputFolder = job.inputFile.empty() ? job.inputFolder : pathPart(job.inputFile);
    p.debug("Output: ", job.outputFolder);
    switch (resolveFolder(job.outputFolder, ctx.workingFolder)) {
    case FolderCheck::Incorrect:
        p.error("Incorrect output folder");
        return false;
    case FolderCheck::Invalid:
        p.error("Invalid output folder");
        return false;
    case FolderCheck::Ok:
        break;
    }

    if (job.inputFormat.empty()) job.inputFormat = settings::InputFormatList().front();
    job.outputExtension = cl.outputExtension;
    if (job.outputExtension.empty()) job.outputExtension = settings::OutputFormatList().front();

    p.debug("Conversion: ", job.outputExtension);
    bool listed = false;
    for (const std::string& format : settings::OutputFormatList())
        listed = listed || format == job.outputExtension;
    if (!listed) {
        p.error("Invalid conversion type");
        return false;
    }

    echoInputOptions(p, s.input, job.inputFormat);
    if (!checkOutputOptions(p, s, ctx.registry, job.outputExtension)) return false;
    if (!checkTransform(p, s.transform) || !checkAdjustment(p, s.adjustment)) return false;
    echoFrame(p, s.frame);
    if (!checkWatermark(p, s.watermark, resources)) return false;
    echoNaming(p, s.advanced);

    job.outputFormatId = engine::outputFormatId(ctx.registry, job.outputExtension);
    engine::prepareOutputEncoding(job, s.output);
    return true;
}

} // namespace

int exitStatus(BatchOutcome outcome)
{
    switch (outcome) {
    case BatchOutcome::AllConverted:
        return 0;
    case BatchOutcome::SomeConverted:
        return 2;
    case BatchOutcome::Refused:
    case BatchOutcome::NothingImported:
    case BatchOutcome::NothingConverted:
        return 1;
    }
    return 1;
}

BatchOutcome runBatch(const CommandLine& cl, BatchContext& ctx)
{
    Printer p(ctx.out, cl.quiet, cl.debug());
    const auto uiText = [&ctx](std::string_view group, std::string_view key) -> const std::string& {
        return catalogue::Lookup(ctx.catalogue, group, key);
    };
    BatchResources resources;

    p.status(uiText("General", "Preparing"));
    if (!prepareJob(cl, ctx, p, resources)) return BatchOutcome::Refused;

    p.status(uiText("General", "Importing"));
    const int imported = importInput(ctx, resources);
    p.status(catalogue::FormatText(uiText("Msg", "Import complete"), number(imported)));
    if (imported == 0) {
        p.line(uiText("Msg", "Conversion is not complete"));
        p.line(uiText("Msg", "Empty input files"));
        return BatchOutcome::NothingImported;
    }

    p.status(uiText("General", "Converting"));
    const int converted = convertFiles(ctx, resources, p.isDebug(), cl.quiet);
    if (converted == 0) {
        p.line(uiText("Msg", "Conversion is not complete"));
        return BatchOutcome::NothingConverted;
    }
    p.status(uiText("Msg", "Conversion complete"));
    p.status(catalogue::FormatText(uiText("Msg", "Files converted"), number(converted), number(imported)));
    return converted == imported ? BatchOutcome::AllConverted : BatchOutcome::SomeConverted;
}

} // namespace cli
