// Metadata of the picture in hand: a holder that carries FreeImage's metadata across the steps
// that replace the bitmap, and the copy of the source file's EXIF, IPTC and XMP into the written
// file (FreeImage keeps only part of a RAW's EXIF; the capture time, for one, is lost).
#pragma once

#include "engine/bitmap.h"

#include <string>

namespace engine {

// A 10 x 10 bitmap that only holds metadata: every model of the source bitmap is cloned into it,
// and later back onto the final bitmap. Empty (and restoring does nothing) when allocation fails.
class MetadataHolder {
public:
    explicit MetadataHolder(FIBITMAP* source);
    void restoreTo(FIBITMAP* target) const;

private:
    Bitmap m_holder;
};

// The EXIF orientation (1..8) stored in the file at `path`; 1 when there is none or the file
// cannot be read.
[[nodiscard]] int readOrientation(const std::string& path) noexcept;

// Copies the EXIF, IPTC and XMP of `sourcePath` into the image file `targetPath`, leaving out
// what describes the source's own storage (strips, tiles, sub-images, thumbnails, raw-format tags),
// with the orientation set to upright and the pixel size set to `width` x `height`. Metadata that
// the target already holds (written by the encoder) is corrected the same way. True when the
// target was rewritten; a failure leaves the target as it was and is not an error of the file.
bool copyFileMetadata(const std::string& sourcePath, const std::string& targetPath, int width, int height) noexcept;

} // namespace engine
