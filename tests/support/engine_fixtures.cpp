#include "engine_fixtures.h"

#include "engine/output_encoding.h"
#include "engine/worker.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"   // Exiv2 0.27 hands out std::auto_ptr
#include <exiv2/exiv2.hpp>

#include <filesystem>

namespace engine_fixtures {

std::string samplesFolder(const std::string& sub)
{
    const std::string folder = std::string(PIXELVANE_SAMPLES_DIR) + "/" + sub;
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec) ? folder : std::string();
}

engine::Bitmap decodeFile(const std::string& path)
{
    const FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(path.c_str(), 0);
    if (fif == FIF_UNKNOWN) return {};
    return engine::Bitmap(FreeImage_Load(fif, path.c_str(), 0));
}

fixtures::PatchColour colourAt(FIBITMAP* image, double fx, double fy)
{
    const unsigned w = FreeImage_GetWidth(image);
    const unsigned h = FreeImage_GetHeight(image);
    const unsigned x = static_cast<unsigned>(fx * w);
    const unsigned y = h - 1 - static_cast<unsigned>(fy * h);   // FreeImage rows run bottom-up
    RGBQUAD q{};
    if (FreeImage_GetBPP(image) == 8) {
        BYTE index = 0;
        FreeImage_GetPixelIndex(image, x, y, &index);
        return {index, index, index};
    }
    FreeImage_GetPixelColor(image, x, y, &q);
    return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

bool looksLike(fixtures::PatchColour c, fixtures::Quadrant q)
{
    const auto high = [](int v) { return v > 150; };
    const auto low = [](int v) { return v < 120; };
    switch (q) {
    case fixtures::Quadrant::TopLeft: return high(c.r) && low(c.g) && low(c.b);
    case fixtures::Quadrant::TopRight: return low(c.r) && high(c.g) && low(c.b);
    case fixtures::Quadrant::BottomLeft: return low(c.r) && low(c.g) && high(c.b);
    case fixtures::Quadrant::BottomRight: return c.r > 170 && c.g > 170 && c.b > 170;
    }
    return false;
}

bool showsUprightPatches(FIBITMAP* image)
{
    using fixtures::Quadrant;
    return image && looksLike(colourAt(image, 0.25, 0.25), Quadrant::TopLeft) &&
           looksLike(colourAt(image, 0.75, 0.25), Quadrant::TopRight) &&
           looksLike(colourAt(image, 0.25, 0.75), Quadrant::BottomLeft) &&
           looksLike(colourAt(image, 0.75, 0.75), Quadrant::BottomRight);
}

std::string metadataValue(const std::string& path, const std::string& key)
{
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        if (key.rfind("Exif.", 0) == 0) {
            const auto it = image->exifData().findKey(Exiv2::ExifKey(key));
            return it == image->exifData().end() ? std::string() : it->toString();
        }
        if (key.rfind("Iptc.", 0) == 0) {
            const auto it = image->iptcData().findKey(Exiv2::IptcKey(key));
            return it == image->iptcData().end() ? std::string() : it->toString();
        }
        const auto it = image->xmpData().findKey(Exiv2::XmpKey(key));
        return it == image->xmpData().end() ? std::string() : it->toString();
    } catch (...) {
        return {};
    }
}

long exifCount(const std::string& path)
{
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        return image->exifData().count();
    } catch (...) {
        return 0;
    }
}

ConversionRun::ConversionRun(const std::string& outputFolder)
    : registry(engine::BuildFormatRegistry())
{
    settings::ResetToDefaults(settings, true);
    job.outputFolder = outputFolder;
    job.outputExtension = "jpg";
    job.outputFormatId = engine::outputFormatId(registry, "jpg");
}

int ConversionRun::convert(std::ostream* debugLines)
{
    engine::prepareOutputEncoding(job, settings.output);
    const engine::WorkerContext ctx{settings, job, files, progress, counters, registry, nullptr, debugLines};
    return engine::runConversion(ctx);
}

} // namespace engine_fixtures
