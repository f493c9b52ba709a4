// Turning one input file into a bitmap (the first step of the pipeline) and mapping
// high-dynamic-range camera loads down to a displayable picture (after rotation and resizing).
#pragma once

#include "engine/bitmap.h"
#include "settings/conversion_settings.h"

#include <cstdint>
#include <string>

namespace engine {

// `RAW Load As` codes.
enum RawLoadAs : std::int32_t {
    kLoadAuto = 0,         // the embedded preview when it is large enough, else as kLoadRgb24
    kLoadRawBits8 = 1,     // headerless pixel data, 8 bits per pixel
    kLoadRawBits16 = 2,    // headerless pixel data, 16 bits per pixel (5-6-5)
    kLoadRgb24 = 3,
    kLoadRgb48Half = 4,
    kLoadRgb48 = 5,
};

// Raw pixel import refuses images whose pixel data would pass this size (a mistyped width, a huge
// file taken as a square): such a file fails instead of exhausting memory. 1 GiB is 512 megapixels
// at 16 bits, far beyond any sensor, and leaves room for the 24-bit copies later steps make.
inline constexpr std::int64_t kMaxRawImportBytes = std::int64_t{1} << 30;

// The flags of the camera-RAW decoder for a `RAW Load As` code.
[[nodiscard]] int rawLoadFlags(std::int32_t rawLoadAs);

// Loads `path` (UTF-8): raw pixel import when the settings ask for it, else the camera-RAW decoder,
// else the JPEG decoder (turned upright by its EXIF orientation). A file that no decoder reads gives
// an empty bitmap; the caller owns the result. The decoders' messages go where
// routeLibraryMessages() sent them.
[[nodiscard]] Bitmap loadImage(const std::string& path, const settings::InputSettings& in) noexcept;

// Headerless pixel data: `code` 1 (8 bits) or 2 (16 bits, 5-6-5), after `RAW Header Size` bytes,
// `RAW Image Width` x `RAW Image Height` pixels (a square from the data length when either is 0),
// first row on top; missing bytes read as 0. Empty when the file cannot be read, holds no data, or
// the image would be larger than kMaxRawImportBytes.
[[nodiscard]] Bitmap importRawBits(const std::string& path, int code, const settings::InputSettings& in) noexcept;

// Tone mapping for the 48-bit loads (`RAW Load As` 4 and 5) by `RAW Tone Mapping`; other loads and
// code 0 pass unchanged. Replaces (and frees) the bitmap when an operator ran; empty in, empty out.
[[nodiscard]] Bitmap toneMap(Bitmap image, const settings::InputSettings& in) noexcept;

// Turns a picture stored with EXIF orientation `orientation` (1..8) upright; other values leave it.
// Empty when a rotation fails.
[[nodiscard]] Bitmap applyOrientation(Bitmap image, int orientation) noexcept;

} // namespace engine
