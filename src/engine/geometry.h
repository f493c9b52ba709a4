// The geometry steps of the pipeline: rotation, resizing and flips, driven by the Transform
// settings. Each step takes the current bitmap (and owns it) and returns the bitmap to continue
// with; a bitmap it replaces is released, and an empty input comes straight back.
#pragma once

#include "engine/bitmap.h"
#include "settings/conversion_settings.h"

#include <cstdint>
#include <optional>

namespace engine {

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// The largest picture the resize step makes; a larger target (a mistyped percentage) fails the
// file instead of exhausting the machine's memory.
inline constexpr std::int64_t kMaxResizedImageBytes = std::int64_t{2} << 30;

// The FreeImage filter for an `Image Resize Algorithm` code; unknown codes give bicubic.
[[nodiscard]] FREE_IMAGE_FILTER resizeFilter(int algorithmCode) noexcept;

// The size the resize step rescales an image of `current` size to, or nothing when the step
// leaves that image as it is (resizing off, a target of 0, the same size, a small image under
// "Large Images"). Pure: no bitmap needed.
[[nodiscard]] std::optional<Size> resizeTarget(const settings::TransformSettings& s, Size current) noexcept;

// Rotates by `Transform/Image Rotation` degrees counter-clockwise when rotation is on and the
// angle lies strictly between 0 and 360. Simple rotation grows the canvas to the rotated picture
// and paints the uncovered corners with the background colour; advanced rotation keeps the size.
// Images that are not 24 or 32 bits are rotated as 24-bit images. Empty when FreeImage fails.
[[nodiscard]] Bitmap rotateImage(Bitmap image, const settings::TransformSettings& s);

// Rescales to `resizeTarget(s, {width, height})` with the chosen filter; `width` and `height`
// are those of the bitmap as it arrives. Empty when FreeImage fails or the result would exceed
// kMaxResizedImageBytes.
[[nodiscard]] Bitmap resizeImage(Bitmap image, const settings::TransformSettings& s, int width, int height);

// Mirrors left-right and/or top-bottom, in place; always returns the bitmap it was given.
[[nodiscard]] Bitmap flipImage(Bitmap image, const settings::TransformSettings& s);

} // namespace engine
