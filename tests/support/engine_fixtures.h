// Helpers of the engine tests: a conversion run with its own records, decoding and sampling of
// written files, and metadata look-ups.
#pragma once

#include "engine/bitmap.h"
#include "engine/format_registry.h"
#include "engine/job.h"
#include "engine_dng_fixture.h"
#include "settings/conversion_settings.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace engine_fixtures {

// The folder of real RAW samples ("<samples>/raw"), empty when absent.
[[nodiscard]] std::string samplesFolder(const std::string& sub);

// Decodes any image file FreeImage knows; empty when it cannot.
[[nodiscard]] engine::Bitmap decodeFile(const std::string& path);

// The colour at a fractional position (fx, fy measured from the top-left corner).
[[nodiscard]] fixtures::PatchColour colourAt(FIBITMAP* image, double fx, double fy);

// True when `c` is recognisably the patch colour of `q` (tone curve and white balance aside).
[[nodiscard]] bool looksLike(fixtures::PatchColour c, fixtures::Quadrant q);

// True when the four quadrant centres of `image` show the fixture's patches upright.
[[nodiscard]] bool showsUprightPatches(FIBITMAP* image);

// An EXIF, IPTC or XMP value of a file as Exiv2 reads it ("Exif.Image.Make"); empty when absent.
[[nodiscard]] std::string metadataValue(const std::string& path, const std::string& key);
// The number of EXIF entries of a file (0 when it has none or cannot be read).
[[nodiscard]] long exifCount(const std::string& path);

// One conversion run with its own records: default command-line settings, JPEG output into
// `outputFolder` (ending in "/").
struct ConversionRun {
    explicit ConversionRun(const std::string& outputFolder);

    settings::ConversionSettings settings;
    engine::FormatRegistry registry;
    engine::ConversionJob job;
    engine::ProgressState progress;
    engine::NamingCounters counters;
    std::vector<engine::InputFile> files;

    // Fills the job's encoding fields from the settings, then runs the worker on this thread.
    // Returns the converted count.
    int convert(std::ostream* debugLines = nullptr);
};

} // namespace engine_fixtures
