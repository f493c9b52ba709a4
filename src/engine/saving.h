// Writing the finished picture: never over the input file, never leaving a half-written file,
// and with the source's metadata in it.
#pragma once

#include <FreeImage.h>

#include <string>

namespace engine {

// True when `a` and `b` name the same file: the same resolved path, or (both existing) the same
// file through a link.
[[nodiscard]] bool isSameFile(const std::string& a, const std::string& b) noexcept;

// Encodes `image` as FreeImage format `formatId` with `flags` and puts it at `outputPath` (UTF-8).
// The encoder writes a temporary file in the output folder; the EXIF, IPTC and XMP of
// `metadataSource` (when not empty) are copied into it; then it is renamed into place, so the path
// holds either the file it held before or the complete new one. False when `outputPath` is the
// input file `metadataSource` itself, when encoding fails (folder missing, no permission, depth the
// format cannot take) or when the rename fails; no temporary file is left behind. A metadata
// problem never fails the save.
[[nodiscard]] bool saveImage(FIBITMAP* image, int formatId, int flags, const std::string& outputPath,
                             const std::string& metadataSource) noexcept;

} // namespace engine
