#include "engine/metadata.h"

// Exiv2 0.27 hands images out as std::auto_ptr, deprecated in the language we build with.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <array>
#include <cstdint>

namespace engine {

namespace {

// Tags of the first directory that describe the picture rather than how the source stored it;
// everything else there (strips, tiles, CFA layout, DNG colour calibration, private data) is left
// behind. Some camera formats keep the capture settings here instead of in the EXIF directory.
constexpr std::array<std::uint16_t, 33> kPictureTags = {
    0x010e, 0x010f, 0x0110, 0x0112, 0x011a, 0x011b, 0x0128, 0x0131, 0x0132, 0x013b, 0x013c,
    0x013e, 0x013f, 0x4746, 0x4749, 0x8298, 0x829a, 0x829d, 0x8822, 0x8827, 0x9003, 0x9201,
    0x9202, 0x9204, 0x9205, 0x9207, 0x9208, 0x9209, 0x920a, 0x9c9b, 0x9c9c, 0x9c9d, 0x9c9e,
};

bool keepExif(const Exiv2::Exifdatum& d)
{
    const std::string group = d.groupName();
    if (group == "Image") return std::find(kPictureTags.begin(), kPictureTags.end(), d.tag()) != kPictureTags.end();
    if (group == "Photo" || group == "GPSInfo" || group == "Iop") return true;
    return Exiv2::ExifTags::isMakerGroup(group);
}

Exiv2::ExifData pictureExif(const Exiv2::ExifData& source)
{
    Exiv2::ExifData out;
    for (const Exiv2::Exifdatum& d : source) {
        if (keepExif(d)) out.add(d);
    }
    return out;
}

void dropMakerNote(Exiv2::ExifData& exif)
{
    for (auto it = exif.begin(); it != exif.end();) {
        if (Exiv2::ExifTags::isMakerGroup(it->groupName()) || it->key() == "Exif.Photo.MakerNote") {
            it = exif.erase(it);
        } else {
            ++it;
        }
    }
}

// The written pixels are upright and have their own size.
void describeWrittenPicture(Exiv2::ExifData& exif, Exiv2::XmpData& xmp, int width, int height)
{
    if (!exif.empty()) {
        exif["Exif.Image.Orientation"] = static_cast<std::uint16_t>(1);
        exif["Exif.Photo.PixelXDimension"] = static_cast<std::uint32_t>(width);
        exif["Exif.Photo.PixelYDimension"] = static_cast<std::uint32_t>(height);
    }
    auto setIfPresent = [&xmp](const char* key, long value) {
        const Exiv2::XmpKey k(key);
        if (xmp.findKey(k) != xmp.end()) xmp[key] = std::to_string(value);
    };
    setIfPresent("Xmp.tiff.Orientation", 1);
    setIfPresent("Xmp.tiff.ImageWidth", width);
    setIfPresent("Xmp.tiff.ImageLength", height);
    setIfPresent("Xmp.exif.PixelXDimension", width);
    setIfPresent("Xmp.exif.PixelYDimension", height);
}

} // namespace

MetadataHolder::MetadataHolder(FIBITMAP* source)
    : m_holder(source ? FreeImage_AllocateT(FIT_BITMAP, 10, 10, 8, 0, 0, 0) : nullptr)
{
    if (m_holder) FreeImage_CloneMetadata(m_holder.get(), source);
}

void MetadataHolder::restoreTo(FIBITMAP* target) const
{
    if (m_holder && target) FreeImage_CloneMetadata(target, m_holder.get());
}

int readOrientation(const std::string& path) noexcept
{
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        const auto it = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
        if (it == exif.end() || it->count() == 0) return 1;
        const long value = it->toLong();
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    } catch (...) {
        return 1;
    }
}

bool copyFileMetadata(const std::string& sourcePath, const std::string& targetPath, int width, int height) noexcept
{
    try {
        Exiv2::XmpParser::initialize();
        Exiv2::Image::AutoPtr target = Exiv2::ImageFactory::open(targetPath);
        target->readMetadata();
        // What the encoder wrote came from the source through the holder; the source file itself
        // is the fuller record and replaces it when it can be read.
        const Exiv2::ExifData encoderExif = target->exifData();
        Exiv2::ExifData exif = encoderExif;
        Exiv2::IptcData iptc = target->iptcData();
        Exiv2::XmpData xmp = target->xmpData();
        try {
            Exiv2::Image::AutoPtr source = Exiv2::ImageFactory::open(sourcePath);
            source->readMetadata();
            if (!source->exifData().empty() || !source->iptcData().empty() || !source->xmpData().empty()) {
                exif = pictureExif(source->exifData());
                iptc = source->iptcData();
                xmp = source->xmpData();
            }
        } catch (...) {   // a source Exiv2 cannot read (or one without metadata) adds nothing
        }
        if (exif.empty() && iptc.empty() && xmp.empty()) return false;
        describeWrittenPicture(exif, xmp, width, height);

        // A format's metadata blocks have size limits (64 KiB in JPEG): give up the bulkiest parts
        // one after the other rather than all of it. The last resort keeps what the encoder wrote,
        // turned upright, so the orientation never contradicts the pixels.
        for (int attempt = 0; attempt < 4; ++attempt) {
            if (attempt == 1) dropMakerNote(exif);
            if (attempt == 2) xmp.clear();
            if (attempt == 3) {
                exif = encoderExif;
                iptc.clear();
                describeWrittenPicture(exif, xmp, width, height);
            }
            try {
                target->setExifData(exif);
                target->setIptcData(iptc);
                target->setXmpData(xmp);
                target->writeMetadata();
                return true;
            } catch (const Exiv2::AnyError&) {
            }
        }
        return false;
    } catch (...) {
        return false;
    }
}

} // namespace engine
