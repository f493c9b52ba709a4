#include "engine/geometry.h"

namespace engine {

// Placeholders until the steps land; every step passes the picture through.
FREE_IMAGE_FILTER resizeFilter(int) noexcept
{
    return FILTER_BICUBIC;
}

std::optional<Size> resizeTarget(const settings::TransformSettings&, Size) noexcept
{
    return std::nullopt;
}

Bitmap rotateImage(Bitmap image, const settings::TransformSettings&)
{
    return image;
}

Bitmap resizeImage(Bitmap image, const settings::TransformSettings&, int, int)
{
    return image;
}

Bitmap flipImage(Bitmap image, const settings::TransformSettings&)
{
    return image;
}

} // namespace engine
