#include "engine/loading.h"

#include "engine/metadata.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>

namespace engine {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

Bitmap decodeRaw(const std::string& path, int flags)
{
    return Bitmap(FreeImage_Load(FIF_RAW, path.c_str(), flags));
}

bool hasOrientationTag(FIBITMAP* image)
{
    FITAG* tag = nullptr;
    return FreeImage_GetMetadata(FIMD_EXIF_MAIN, image, "Orientation", &tag) && tag;
}

// Auto: the embedded preview when it is a fair stand-in for the picture (its longer side at least
// half the full image's), else the same decode as RGB 24-bit. A thumbnail is never blown up to the
// output. The preview must come out upright like the full decode: a JPEG preview arrives turned by
// the decoder (it carries the RAW's orientation as EXIF); an uncompressed one arrives as stored.
Bitmap loadRawAuto(const std::string& path)
{
    Bitmap header = decodeRaw(path, FIF_LOAD_NOPIXELS);
    if (!header) return {};
    const unsigned storedWidth = FreeImage_GetWidth(header.get());
    const unsigned storedHeight = FreeImage_GetHeight(header.get());
    header.reset();
    const unsigned fullLongSide = std::max(storedWidth, storedHeight);

    // Without a preview the decoder falls back to the 24-bit decode itself.
    Bitmap preview = decodeRaw(path, RAW_PREVIEW);
    if (!preview) return {};
    const unsigned w = FreeImage_GetWidth(preview.get());
    const unsigned h = FreeImage_GetHeight(preview.get());
    if (2 * std::max(w, h) < fullLongSide) {
        preview.reset();
        return decodeRaw(path, RAW_DISPLAY);
    }
    const bool isFullDecode = (w == storedWidth && h == storedHeight) || (w == storedHeight && h == storedWidth);
    if (hasOrientationTag(preview.get()) || isFullDecode) return preview;
    return applyOrientation(std::move(preview), readOrientation(path));
}

Bitmap loadCameraRaw(const std::string& path, std::int32_t rawLoadAs)
{
    if (rawLoadAs == kLoadAuto) return loadRawAuto(path);
    return decodeRaw(path, rawLoadFlags(rawLoadAs));
}

Bitmap loadJpeg(const std::string& path)
{
    // Check the signature first: the JPEG decoder would otherwise complain about every RAW it is shown.
    if (FreeImage_GetFileType(path.c_str(), 0) != FIF_JPEG) return {};
    return Bitmap(FreeImage_Load(FIF_JPEG, path.c_str(), JPEG_ACCURATE | JPEG_EXIFROTATE));
}

} // namespace

int rawLoadFlags(std::int32_t rawLoadAs)
{
    switch (rawLoadAs) {
    case kLoadAuto: return RAW_PREVIEW;
    case kLoadRgb24: return RAW_DISPLAY;
    case kLoadRgb48Half: return RAW_HALFSIZE;
    default: return RAW_DEFAULT;
    }
}

Bitmap loadImage(const std::string& path, const settings::InputSettings& in) noexcept
{
    try {
        // A file that no real decoder reads fails: it is never passed off as raw pixel data unless
        // the user chose raw pixel import.
        if (in.rawLoadAs == kLoadRawBits8 || in.rawLoadAs == kLoadRawBits16) {
            if (Bitmap b = importRawBits(path, in.rawLoadAs, in)) return b;
        }
        if (Bitmap b = loadCameraRaw(path, in.rawLoadAs)) return b;
        return loadJpeg(path);
    } catch (...) {   // std::bad_alloc and filesystem errors: the file fails
        return {};
    }
}

Bitmap importRawBits(const std::string& path, int code, const settings::InputSettings& in) noexcept
{
    if (code != kLoadRawBits8 && code != kLoadRawBits16) return {};
    const int bpp = code == kLoadRawBits8 ? 8 : 16;
    const unsigned redMask = code == kLoadRawBits8 ? 0xFF0000 : 0xF800;
    const unsigned greenMask = code == kLoadRawBits8 ? 0x00FF00 : 0x07E0;
    const unsigned blueMask = code == kLoadRawBits8 ? 0x0000FF : 0x001F;

    std::error_code ec;
    const auto fileLength = std::filesystem::file_size(path, ec);
    if (ec || in.rawHeaderSize < 0) return {};
    const std::int64_t dataLength = static_cast<std::int64_t>(fileLength) - in.rawHeaderSize;
    if (dataLength <= 0) return {};

    std::int64_t width = in.rawImageWidth;
    std::int64_t height = in.rawImageHeight;
    if (width == 0 || height == 0) {
        width = height = std::llround(std::sqrt(static_cast<double>(dataLength) / (bpp / 8.0)));
    }
    const std::int64_t pitch = width * (bpp / 8);
    // Check the size before anything is allocated: a typo in the width must not take the machine down.
    if (width <= 0 || height <= 0 || pitch > std::numeric_limits<int>::max() || height > std::numeric_limits<int>::max() ||
        pitch > kMaxRawImportBytes / height) {
        return {};
    }

    File file(std::fopen(path.c_str(), "rb"));
    if (!file || std::fseek(file.get(), in.rawHeaderSize, SEEK_SET) != 0) return {};
    // The rows go straight from the file into the bitmap, first row on top, with no second
    // full-size buffer. The bitmap starts zeroed, so rows past the end of the data stay 0.
    Bitmap image(FreeImage_AllocateT(FIT_BITMAP, static_cast<int>(width), static_cast<int>(height), bpp, redMask,
                                     greenMask, blueMask));
    if (!image) return {};
    std::int64_t remaining = dataLength;
    for (std::int64_t row = 0; row < height && remaining > 0; ++row) {
        BYTE* line = FreeImage_GetScanLine(image.get(), static_cast<int>(height - 1 - row));
        const auto count = static_cast<std::size_t>(std::min(pitch, remaining));
        if (std::fread(line, 1, count, file.get()) != count) return {};
        remaining -= static_cast<std::int64_t>(count);
    }
    return image;
}

Bitmap toneMap(Bitmap image, const settings::InputSettings& in) noexcept
{
    if (!image) return {};
    if (in.rawLoadAs != kLoadRgb48Half && in.rawLoadAs != kLoadRgb48) return image;
    FIBITMAP* mapped = nullptr;
    switch (in.rawToneMapping) {
    case 1: mapped = FreeImage_ConvertTo24Bits(image.get()); break;
    case 2: mapped = FreeImage_TmoDrago03(image.get(), 2.2, 0.0); break;
    case 3: mapped = FreeImage_TmoReinhard05(image.get(), 0.0, 0.0); break;
    case 4: mapped = FreeImage_TmoFattal02(image.get(), 0.5, 0.85); break;
    default: return image;
    }
    return Bitmap(mapped);   // the operator's input is freed here; a failed operator fails the file
}

Bitmap applyOrientation(Bitmap image, int orientation) noexcept
{
    if (!image) return {};
    auto rotate = [](Bitmap in, double degreesCounterClockwise) {
        return Bitmap(FreeImage_Rotate(in.get(), degreesCounterClockwise));
    };
    switch (orientation) {
    case 2: FreeImage_FlipHorizontal(image.get()); return image;
    case 3: return rotate(std::move(image), 180);
    case 4: FreeImage_FlipVertical(image.get()); return image;
    case 5: image = rotate(std::move(image), 270); break;   // transpose: a quarter turn clockwise, then mirror
    case 6: return rotate(std::move(image), 270);
    case 7: image = rotate(std::move(image), 90); break;    // transverse: a quarter turn anticlockwise, then mirror
    case 8: return rotate(std::move(image), 90);
    default: return image;
    }
    if (image) FreeImage_FlipHorizontal(image.get());
    return image;
}

} // namespace engine
