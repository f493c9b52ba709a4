// Writes small synthetic DNG files: a Bayer mosaic of four colour patches (red, green, blue,
// white), optionally with an embedded JPEG preview and an EXIF orientation.
//
//   make_test_dng --out DIR                 a sample set in DIR (landscape, portrait, thumbnail-only)
//   make_test_dng FILE [--width N] [--height N] [--orientation 1..8] [--preview LONGSIDE]
//                      [--preview-format jpeg|rgb] [--make TEXT] [--model TEXT] [--date "YYYY:MM:DD HH:MM:SS"]
#include "engine_dng_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

int usage()
{
    std::fputs("usage: make_test_dng --out DIR\n"
               "       make_test_dng FILE [--width N] [--height N] [--orientation 1..8] [--preview LONGSIDE]\n"
               "                          [--preview-format jpeg|rgb] [--make TEXT] [--model TEXT] [--date \"YYYY:MM:DD HH:MM:SS\"]\n",
               stderr);
    return 2;
}

bool write(const std::string& path, const fixtures::TestDngOptions& dng)
{
    if (!fixtures::writeTestDng(path, dng)) {
        std::fprintf(stderr, "make_test_dng: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

int writeSampleSet(const std::filesystem::path& dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    struct Sample {
        const char* name;
        fixtures::TestDngOptions dng;
    };
    const std::vector<Sample> samples = {
        {"landscape_preview.dng", {.width = 600, .height = 400, .orientation = 1, .previewLongSide = 480}},
        {"portrait_rotated.dng", {.width = 400, .height = 600, .orientation = 6, .previewLongSide = 480}},
        {"thumbnail_only.dng", {.width = 600, .height = 400, .orientation = 1, .previewLongSide = 96}},
        {"no_preview.dng", {.width = 600, .height = 400, .orientation = 1, .previewLongSide = 0}},
    };
    for (const Sample& s : samples) {
        if (!write((dir / s.name).string(), s.dng)) return 1;
    }
    return 0;
}

bool number(const char* text, int& out)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!end || *end || v < 0 || v > 100000) return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return usage();
    const std::string_view first = argv[1];
    if (first == "--out") {
        if (argc != 3) return usage();
        return writeSampleSet(argv[2]);
    }
    if (first.starts_with("--")) return usage();

    fixtures::TestDngOptions dng;
    for (int i = 2; i < argc; i += 2) {
        if (i + 1 >= argc) return usage();
        const std::string_view opt = argv[i];
        const char* value = argv[i + 1];
        bool ok = true;
        if (opt == "--width") ok = number(value, dng.width);
        else if (opt == "--height") ok = number(value, dng.height);
        else if (opt == "--orientation") ok = number(value, dng.orientation) && dng.orientation >= 1 && dng.orientation <= 8;
        else if (opt == "--preview") ok = number(value, dng.previewLongSide);
        else if (opt == "--preview-format") {
            ok = std::string_view(value) == "jpeg" || std::string_view(value) == "rgb";
            dng.previewJpeg = std::string_view(value) == "jpeg";
        }
        else if (opt == "--make") dng.make = value;
        else if (opt == "--model") dng.model = value;
        else if (opt == "--date") dng.dateTimeOriginal = value;
        else ok = false;
        if (!ok) return usage();
    }
    if (dng.width < 32 || dng.height < 32 || dng.width % 2 || dng.height % 2) {
        std::fputs("make_test_dng: width and height must be even and at least 32\n", stderr);
        return 2;
    }
    return write(argv[1], dng) ? 0 : 1;
}
