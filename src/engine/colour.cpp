#include "engine/colour.h"

namespace engine {

// Placeholders until the steps land; every step passes the picture through.
Bitmap correctColours(Bitmap image, const settings::AdjustmentSettings&)
{
    return image;
}

Bitmap makeGreyscale(Bitmap image, const settings::AdjustmentSettings&)
{
    return image;
}

Bitmap applyThreshold(Bitmap image, const settings::AdjustmentSettings&)
{
    return image;
}

} // namespace engine
