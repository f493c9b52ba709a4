#include "engine/geometry.h"

#include "engine/output_encoding.h"

#include <cmath>
#include <limits>

namespace engine {

namespace {

// Nearest integer with halves going to the even neighbour (1500.5 gives 1500, 1000.5 gives
// 1000), independent of the floating-point rounding mode; saturates at the int range so an
// absurd percentage cannot overflow.
long long roundHalfEven(double x) noexcept
{
    if (!(x > -1e18 && x < 1e18)) return x > 0 ? std::numeric_limits<long long>::max() : 0;
    const double low = std::floor(x);
    const double diff = x - low;
    double r = low;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(low, 2.0) != 0.0)) r = low + 1.0;
    return static_cast<long long>(r);
}

int clampToInt(long long v) noexcept
{
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// A target side from its setting and unit: pixels as given, or a percentage of the current side.
long long targetSide(std::int32_t value, int unit, int current) noexcept
{
    switch (unit) {
    case 0:
        return value;
    case 1:
        return roundHalfEven(value / 100.0 * current);
    default:
        return 0;
    }
}

} // namespace

FREE_IMAGE_FILTER resizeFilter(int algorithmCode) noexcept
{
    switch (algorithmCode) {
    case 0:
        return FILTER_BOX;
    case 1:
        return FILTER_BILINEAR;
    case 2:
        return FILTER_BSPLINE;
    case 3:
        return FILTER_BICUBIC;
    case 4:
        return FILTER_CATMULLROM;
    case 5:
        return FILTER_LANCZOS3;
    default:
        return FILTER_BICUBIC;
    }
}

std::optional<Size> resizeTarget(const settings::TransformSettings& s, Size current) noexcept
{
    const long long w = current.width;
    const long long h = current.height;
    if (!s.doImageResize || w <= 0 || h <= 0) return std::nullopt;

    const long long tw = targetSide(s.imageWidth, s.imageWidthUnit, current.width);
    const long long th = targetSide(s.imageHeight, s.imageHeightUnit, current.height);
    if (tw <= 0 || th <= 0) return std::nullopt;
    if (tw == w && th == h) return std::nullopt;
    // "Large Images": leave an image alone only when it is smaller than the target both ways.
    if (s.imageResizeType == 1 && w < tw && h < th) return std::nullopt;

    long long fw = tw;
    long long fh = th;
    if (s.keepAspectRatio) {
        // The longer side's target governs; the ratio is kept in single precision, as the
        // stored sizes of earlier versions were computed that way (600 / 1.3333334f gives 450).
        if (w >= h) {
            const float ratio = static_cast<float>(w) / static_cast<float>(h);
            fh = roundHalfEven(static_cast<double>(tw) / static_cast<double>(ratio));
        } else {
            const float ratio = static_cast<float>(h) / static_cast<float>(w);
            fw = roundHalfEven(static_cast<double>(th) / static_cast<double>(ratio));
        }
    }
    // A very flat or very tall picture must not collapse to nothing: keep at least one pixel.
    const Size target{clampToInt(std::max(fw, 1LL)), clampToInt(std::max(fh, 1LL))};
    if (target == current) return std::nullopt; // rescaling to the same size only costs time
    return target;
}

Bitmap rotateImage(Bitmap image, const settings::TransformSettings& s)
{
    if (!image || !s.doImageRotation) return image;
    const int angle = s.imageRotation;
    if (angle <= 0 || angle >= 360) return image;
    if (s.imageRotationType != 0 && s.imageRotationType != 1) return image;

    // FreeImage rotates 24- and 32-bit pictures with a colour background; everything else goes
    // through 24 bits so the background colour means a colour, not a palette index.
    const unsigned bpp = FreeImage_GetBPP(image.get());
    if (bpp <= 16 || bpp > 32) {
        image = convertTo24Bits(std::move(image));
        if (!image) return image;
    }
    const int w = static_cast<int>(FreeImage_GetWidth(image.get()));
    const int h = static_cast<int>(FreeImage_GetHeight(image.get()));

    if (s.imageRotationType == 0) {
        const settings::Rgb c = settings::ParseColor(s.imageRotationBackColor);
        RGBQUAD background{};
        background.rgbBlue = c.b;
        background.rgbGreen = c.g;
        background.rgbRed = c.r;
        background.rgbReserved = 0;
        return Bitmap(FreeImage_Rotate(image.get(), static_cast<double>(angle), &background));
    }
    return Bitmap(
        FreeImage_RotateEx(image.get(), static_cast<double>(angle), 0.0, 0.0, w / 2.0, h / 2.0, FALSE));
}

Bitmap resizeImage(Bitmap image, const settings::TransformSettings& s, int width, int height)
{
    if (!image) return image;
    const std::optional<Size> target = resizeTarget(s, {width, height});
    if (!target) return image;
    const std::int64_t rowBytes = (std::int64_t{target->width} * FreeImage_GetBPP(image.get()) + 7) / 8;
    if (rowBytes * target->height > kMaxResizedImageBytes) return {};
    return Bitmap(
        FreeImage_Rescale(image.get(), target->width, target->height, resizeFilter(s.imageResizeAlgorithm)));
}

Bitmap flipImage(Bitmap image, const settings::TransformSettings& s)
{
    if (!image) return image;
    if (s.doImageFlipHorizontal) FreeImage_FlipHorizontal(image.get());
    if (s.doImageFlipVertical) FreeImage_FlipVertical(image.get());
    return image;
}

} // namespace engine
