#include "engine/loading.h"

#include "engine/metadata.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <utility>

namespace engine {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// One input file as the decoders see it. The decoders read through stdio without its locking:
// the RAW decoder asks for most of its data one byte at a time, and the locked calls cost more
// than the byte (the file is read by this thread only).
class Source {
public:
    explicit Source(std::string path)
        : m_path(std::move(path))
    {
    }

    // The decoder `format` with `flags`.
    Bitmap decode(FREE_IMAGE_FORMAT format, int flags) const
    {
        File file(std::fopen(m_path.c_str(), "rb"));
        if (!file) return {};
        FreeImageIO io = fileIo();
        return Bitmap(FreeImage_LoadFromHandle(format, &io, file.get(), flags));
    }

    FREE_IMAGE_FORMAT fileType() const
    {
        File file(std::fopen(m_path.c_str(), "rb"));
        if (!file) return FIF_UNKNOWN;
        FreeImageIO io = fileIo();
        return FreeImage_GetFileTypeFromHandle(&io, file.get(), 0);
    }

    int orientation() const { return readOrientation(m_path); }

private:
    static FreeImageIO fileIo() { return FreeImageIO{&read, &write, &seek, &tell}; }

    static unsigned DLL_CALLCONV read(void* buffer, unsigned size, unsigned count, fi_handle handle)
    {
        auto* f = static_cast<std::FILE*>(handle);
        if (size == 1 && count == 1) {
            const int c = getc_unlocked(f);
            if (c == EOF) return 0;
            *static_cast<unsigned char*>(buffer) = static_cast<unsigned char>(c);
            return 1;
        }
        return static_cast<unsigned>(fread_unlocked(buffer, size, count, f));
    }
    static unsigned DLL_CALLCONV write(void*, unsigned, unsigned, fi_handle) { return 0; }
    static int DLL_CALLCONV seek(fi_handle handle, long offset, int origin)
    {
        return std::fseek(static_cast<std::FILE*>(handle), offset, origin);
    }
    static long DLL_CALLCONV tell(fi_handle handle) { return std::ftell(static_cast<std::FILE*>(handle)); }

    std::string m_path;
};

Bitmap decodeRaw(const Source& source, int flags)
{
    return source.decode(FIF_RAW, flags);
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
Bitmap loadRawAuto(const Source& source)
{
    Bitmap header = decodeRaw(source, FIF_LOAD_NOPIXELS);
    if (!header) return {};
    const unsigned storedWidth = FreeImage_GetWidth(header.get());
    const unsigned storedHeight = FreeImage_GetHeight(header.get());
    header.reset();
    const unsigned fullLongSide = std::max(storedWidth, storedHeight);

    // Without a preview the decoder falls back to the 24-bit decode itself.
    Bitmap preview = decodeRaw(source, RAW_PREVIEW);
    if (!preview) return {};
    const unsigned w = FreeImage_GetWidth(preview.get());
    const unsigned h = FreeImage_GetHeight(preview.get());
    if (2 * std::max(w, h) < fullLongSide) {
        preview.reset();
        return decodeRaw(source, RAW_DISPLAY);
    }
    const bool isFullDecode = (w == storedWidth && h == storedHeight) || (w == storedHeight && h == storedWidth);
    if (hasOrientationTag(preview.get()) || isFullDecode) return preview;
    return applyOrientation(std::move(preview), source.orientation());
}

Bitmap loadCameraRaw(const Source& source, std::int32_t rawLoadAs)
{
    if (rawLoadAs == kLoadAuto) return loadRawAuto(source);
    return decodeRaw(source, rawLoadFlags(rawLoadAs));
}

Bitmap loadJpeg(const Source& source)
{
    // Check the signature first: the JPEG decoder would otherwise complain about every RAW it is shown.
    if (source.fileType() != FIF_JPEG) return {};
    return source.decode(FIF_JPEG, JPEG_ACCURATE | JPEG_EXIFROTATE);
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
        const Source source(path);
        if (Bitmap b = loadCameraRaw(source, in.rawLoadAs)) return b;
        return loadJpeg(source);
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
