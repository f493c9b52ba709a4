#include "engine/output_encoding.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace engine {

namespace {

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return out;
}

int jpegFlags(const settings::OutputSettings& out)
{
    int flags = out.jpgQuality; // the quality sits in the low bits; 0 lets the library choose
    switch (out.jpgChroma) {
    case 0:
        flags |= JPEG_SUBSAMPLING_444;
        break;
    case 1:
        flags |= JPEG_SUBSAMPLING_422;
        break;
    case 2:
        flags |= JPEG_SUBSAMPLING_420;
        break;
    case 3:
        flags |= JPEG_SUBSAMPLING_411;
        break;
    default:
        break;
    }
    switch (out.jpgSaveAs) {
    case 1:
        flags |= JPEG_BASELINE;
        break;
    case 2:
        flags |= JPEG_OPTIMIZE;
        break;
    case 3:
        flags |= JPEG_PROGRESSIVE;
        break;
    default:
        break;
    }
    return flags;
}

int exrFlags(std::int32_t compression)
{
    switch (compression) {
    case 0:
        return EXR_NONE;
    case 1:
        return EXR_ZIP;
    case 2:
        return EXR_PIZ;
    case 3:
        return EXR_PXR24;
    case 4:
        return EXR_B44;
    default:
        return EXR_DEFAULT;
    }
}

int pngFlags(const settings::OutputSettings& out)
{
    int flags = PNG_DEFAULT;
    switch (out.pngCompression) {
    case 0:
        flags = PNG_Z_NO_COMPRESSION;
        break;
    case 1:
        flags = PNG_Z_BEST_SPEED;
        break;
    case 2:
        flags = PNG_Z_DEFAULT_COMPRESSION;
        break;
    case 3:
        flags = PNG_Z_BEST_COMPRESSION;
        break;
    default:
        break;
    }
    if (out.pngInterlaced != 0) flags |= PNG_INTERLACED;
    return flags;
}

int tiffFlags(const settings::OutputSettings& out)
{
    static constexpr int kCompression[] = {TIFF_NONE,     TIFF_CCITTFAX3, TIFF_CCITTFAX4,
                                           TIFF_PACKBITS, TIFF_DEFLATE,   TIFF_ADOBE_DEFLATE,
                                           TIFF_LZW,      TIFF_JPEG,      TIFF_LOGLUV};
    int flags = TIFF_DEFAULT;
    if (out.tiffCompression >= 0 && out.tiffCompression < static_cast<int>(std::size(kCompression)))
        flags = kCompression[out.tiffCompression];
    if (out.tiffColorModel == 1) flags |= TIFF_CMYK;
    return flags;
}

bool isStandardBitmap(FIBITMAP* image)
{
    return FreeImage_GetImageType(image) == FIT_BITMAP;
}

// Brings a picture FreeImage's palette and dithering conversions cannot take (16 bits per
// channel, floating point) to 24 bits first; standard bitmaps pass untouched.
Bitmap standardBitmap(Bitmap image)
{
    if (!image || isStandardBitmap(image.get())) return image;
    return convertTo24Bits(std::move(image));
}

// Wraps a FreeImage conversion of `image`; the input is released once the result exists.
template <typename Convert> Bitmap replaceWith(Bitmap image, Convert convert)
{
    if (!image) return image;
    return Bitmap(convert(image.get()));
}

} // namespace

int saveFlags(const settings::OutputSettings& out, std::string_view extension)
{
    const std::string ext = lowerAscii(extension);
    if (ext == "bmp") return out.bmpCompression == 1 ? BMP_SAVE_RLE : BMP_DEFAULT;
    if (ext == "exr") return exrFlags(out.exrCompression);
    if (ext == "jpg") return jpegFlags(out);
    if (ext == "jxr") return JXR_LOSSLESS;
    if (ext == "png") return pngFlags(out);
    if (ext == "tga") return out.tgaCompression == 1 ? TARGA_SAVE_RLE : TARGA_DEFAULT;
    if (ext == "tiff") return tiffFlags(out);
    if (ext == "webp") return WEBP_LOSSLESS;
    return 0;
}

int bitDepthSetting(const settings::OutputSettings& out, std::string_view extension)
{
    struct Entry {
        std::string_view extension;
        std::int32_t settings::OutputSettings::*bpp;
    };
    static constexpr Entry kBpp[] = {
        {"bmp", &settings::OutputSettings::bmpBpp},   {"dds", &settings::OutputSettings::ddsBpp},
        {"exr", &settings::OutputSettings::exrBpp},   {"gif", &settings::OutputSettings::gifBpp},
        {"hdr", &settings::OutputSettings::hdrBpp},   {"ico", &settings::OutputSettings::icoBpp},
        {"j2k", &settings::OutputSettings::j2kBpp},   {"jng", &settings::OutputSettings::jngBpp},
        {"jp2", &settings::OutputSettings::jp2Bpp},   {"jpg", &settings::OutputSettings::jpgBpp},
        {"jxr", &settings::OutputSettings::jxrBpp},   {"pbm", &settings::OutputSettings::pbmBpp},
        {"pcx", &settings::OutputSettings::pcxBpp},   {"pfm", &settings::OutputSettings::pfmBpp},
        {"pgm", &settings::OutputSettings::pgmBpp},   {"png", &settings::OutputSettings::pngBpp},
        {"ppm", &settings::OutputSettings::ppmBpp},   {"psd", &settings::OutputSettings::psdBpp},
        {"tga", &settings::OutputSettings::tgaBpp},   {"tiff", &settings::OutputSettings::tiffBpp},
        {"wbmp", &settings::OutputSettings::wbmpBpp}, {"webp", &settings::OutputSettings::webpBpp},
        {"xpm", &settings::OutputSettings::xpmBpp},
    };
    const std::string ext = lowerAscii(extension);
    for (const Entry& e : kBpp)
        if (e.extension == ext) return out.*(e.bpp);
    return 0;
}

void prepareOutputEncoding(ConversionJob& job, const settings::OutputSettings& out)
{
    job.targetBitDepth = bitDepthSetting(out, job.outputExtension);
    job.automaticDepth = job.targetBitDepth == 0;
    job.saveFlags = saveFlags(out, job.outputExtension);
}

int automaticBitDepth(std::string_view allowedDepths, int sourceDepth)
{
    int last = 0;
    while (!allowedDepths.empty()) {
        const auto comma = allowedDepths.find(',');
        std::string_view item = allowedDepths.substr(0, comma);
        allowedDepths =
            comma == std::string_view::npos ? std::string_view{} : allowedDepths.substr(comma + 1);
        while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
        int depth = 0;
        const auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), depth);
        if (ec != std::errc{} || depth <= 0) continue;
        if (depth >= sourceDepth) return depth;
        last = depth;
    }
    return last;
}

void chooseTargetBitDepth(ConversionJob& job, int sourceDepth, std::string_view allowedDepths)
{
    if (job.automaticDepth) job.targetBitDepth = automaticBitDepth(allowedDepths, sourceDepth);
}

Bitmap convertTo24Bits(Bitmap image)
{
    if (!image) return image;
    switch (FreeImage_GetImageType(image.get())) {
    case FIT_BITMAP:
        if (FreeImage_GetBPP(image.get()) == 24) return image;
        [[fallthrough]];
    case FIT_RGB16:
    case FIT_RGBA16:
        return replaceWith(std::move(image), FreeImage_ConvertTo24Bits);
    case FIT_RGBF:
    case FIT_RGBAF:
        return replaceWith(std::move(image),
                           [](FIBITMAP* b) { return FreeImage_ToneMapping(b, FITMO_DRAGO03); });
    default: // one sample per pixel (16-bit, 32-bit, float, ...): scale to grey first
        image = replaceWith(std::move(image),
                            [](FIBITMAP* b) { return FreeImage_ConvertToStandardType(b, TRUE); });
        return replaceWith(std::move(image), FreeImage_ConvertTo24Bits);
    }
}

Bitmap convertToBitDepth(Bitmap image, int targetDepth, std::string_view extension)
{
    if (!image) return image;
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(image.get());
    const int bpp = static_cast<int>(FreeImage_GetBPP(image.get()));
    // Already there: the same depth in the pixel layout the target implies (a 16-bit grey
    // sample image is not a 16-bit colour bitmap).
    const FREE_IMAGE_TYPE expected = targetDepth == 96   ? FIT_RGBF
                                     : targetDepth == 48 ? FIT_RGB16
                                                         : FIT_BITMAP;
    if (bpp == targetDepth && type == expected) return image;

    const std::string ext = lowerAscii(extension);
    switch (targetDepth) {
    case 96:
        return replaceWith(std::move(image), FreeImage_ConvertToRGBF);
    case 48:
        if (type == FIT_RGBF || type == FIT_RGBAF) image = convertTo24Bits(std::move(image));
        return replaceWith(std::move(image), FreeImage_ConvertToRGB16);
    case 32:
        if (type != FIT_BITMAP && type != FIT_RGB16 && type != FIT_RGBA16)
            image = convertTo24Bits(std::move(image));
        return replaceWith(std::move(image), FreeImage_ConvertTo32Bits);
    case 24:
        return convertTo24Bits(std::move(image));
    case 16:
        image = standardBitmap(std::move(image));
        if (ext == "ico" || ext == "tga") return replaceWith(std::move(image), FreeImage_ConvertTo16Bits555);
        return replaceWith(std::move(image), FreeImage_ConvertTo16Bits565);
    case 8:
        image = standardBitmap(std::move(image));
        if (ext == "j2k" || ext == "jp2" || ext == "jpg" || ext == "jxr") // these store 8 bits as grey
            return replaceWith(std::move(image), FreeImage_ConvertTo8Bits);
        image = convertTo24Bits(std::move(image));
        return replaceWith(std::move(image), [](FIBITMAP* b) {
            return FreeImage_ColorQuantizeEx(b, FIQ_WUQUANT, 256, 0, nullptr);
        });
    case 4:
        image = standardBitmap(std::move(image));
        return replaceWith(std::move(image), FreeImage_ConvertTo4Bits);
    case 1:
        image = standardBitmap(std::move(image));
        return replaceWith(std::move(image), [](FIBITMAP* b) { return FreeImage_Dither(b, FID_FS); });
    default:
        return {}; // no conversion gives this depth: the file fails
    }
}

Bitmap convertToTargetDepth(Bitmap image, ConversionJob& job, int sourceDepth, std::string_view allowedDepths)
{
    if (!image) return image;
    chooseTargetBitDepth(job, sourceDepth, allowedDepths);
    return convertToBitDepth(std::move(image), job.targetBitDepth, job.outputExtension);
}

} // namespace engine
