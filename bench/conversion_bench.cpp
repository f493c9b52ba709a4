// Load and save of one RAW file, stage by stage: header probe, Auto load, RGB 24-bit load, JPEG
// save (temporary file, metadata copy, rename) and the whole pipeline through the worker. Prints
// the median of several runs of each.
//
//   conversion_bench [RAW FILE]   default: a generated 3000 x 2000 DNG with a full-size preview
#include "engine/format_registry.h"
#include "engine/loading.h"
#include "engine/metadata.h"
#include "engine/output_encoding.h"
#include "engine/saving.h"
#include "engine/worker.h"
#include "engine_dng_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

namespace fs = std::filesystem;
constexpr int kRuns = 5;

template <typename F> double medianMs(F&& run)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

settings::InputSettings loadAs(int code)
{
    settings::InputSettings in;
    in.rawLoadAs = code;
    return in;
}

// The loads as they were before the file was read into memory once: every decode (header probe,
// preview, full decode) and the orientation reader open the file themselves, and the decoder reads
// it through stdio. Kept to show the difference on the same machine in the same run.
engine::Bitmap fileDecode(const std::string& path, int flags)
{
    return engine::Bitmap(FreeImage_Load(FIF_RAW, path.c_str(), flags));
}

engine::Bitmap fileAutoLoad(const std::string& path)
{
    engine::Bitmap header = fileDecode(path, FIF_LOAD_NOPIXELS);
    if (!header) return {};
    const unsigned sw = FreeImage_GetWidth(header.get());
    const unsigned sh = FreeImage_GetHeight(header.get());
    header.reset();
    engine::Bitmap preview = fileDecode(path, RAW_PREVIEW);
    if (!preview) return {};
    const unsigned w = FreeImage_GetWidth(preview.get());
    const unsigned h = FreeImage_GetHeight(preview.get());
    if (2 * std::max(w, h) < std::max(sw, sh)) {
        preview.reset();
        return fileDecode(path, RAW_DISPLAY);
    }
    FITAG* tag = nullptr;
    const bool tagged = FreeImage_GetMetadata(FIMD_EXIF_MAIN, preview.get(), "Orientation", &tag) && tag;
    if (tagged || (w == sw && h == sh) || (w == sh && h == sw)) return preview;
    return engine::applyOrientation(std::move(preview), engine::readOrientation(path));
}

bool samePixels(FIBITMAP* a, FIBITMAP* b)
{
    if (!a || !b || FreeImage_GetWidth(a) != FreeImage_GetWidth(b) || FreeImage_GetHeight(a) != FreeImage_GetHeight(b) ||
        FreeImage_GetBPP(a) != FreeImage_GetBPP(b) || FreeImage_GetImageType(a) != FreeImage_GetImageType(b))
        return false;
    const unsigned line = FreeImage_GetLine(a);
    for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y)
        if (std::memcmp(FreeImage_GetScanLine(a, static_cast<int>(y)), FreeImage_GetScanLine(b, static_cast<int>(y)), line) != 0)
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const fs::path work = fs::temp_directory_path() / ("pixelvane-bench-" + std::to_string(::getpid()));
    fs::create_directories(work);
    std::string input;
    if (argc > 1) {
        input = argv[1];
    } else {
        input = (work / "generated.dng").string();
        if (!fixtures::writeTestDng(input, {.width = 3000, .height = 2000, .orientation = 1, .previewLongSide = 3000})) {
            std::fprintf(stderr, "cannot write %s\n", input.c_str());
            return 1;
        }
    }

    engine::Bitmap probe = engine::loadImage(input, loadAs(engine::kLoadRgb24));
    if (!probe) {
        std::fprintf(stderr, "cannot load %s\n", input.c_str());
        return 1;
    }
    std::printf("%s: %ux%u\n", input.c_str(), FreeImage_GetWidth(probe.get()), FreeImage_GetHeight(probe.get()));
    const bool same24 = samePixels(probe.get(), fileDecode(input, RAW_DISPLAY).get());
    const bool sameAuto = samePixels(engine::loadImage(input, loadAs(engine::kLoadAuto)).get(), fileAutoLoad(input).get());
    std::printf("same pixels as the file-reading loads: RGB 24-bit %s, Auto %s\n", same24 ? "yes" : "NO",
                sameAuto ? "yes" : "NO");

    const double header = medianMs([&] { engine::Bitmap b(FreeImage_Load(FIF_RAW, input.c_str(), FIF_LOAD_NOPIXELS)); });
    const double autoLoad = medianMs([&] { engine::Bitmap b = engine::loadImage(input, loadAs(engine::kLoadAuto)); });
    const double autoFile = medianMs([&] { engine::Bitmap b = fileAutoLoad(input); });
    const double rgb24 = medianMs([&] { engine::Bitmap b = engine::loadImage(input, loadAs(engine::kLoadRgb24)); });
    const double rgb24File = medianMs([&] { engine::Bitmap b = fileDecode(input, RAW_DISPLAY); });
    const std::string out = (work / "out.jpg").string();
    const double save = medianMs([&] { (void)engine::saveImage(probe.get(), FIF_JPEG, 95, out, input); });
    const double saveBare = medianMs([&] { (void)engine::saveImage(probe.get(), FIF_JPEG, 95, out, ""); });

    settings::ConversionSettings s;
    settings::ResetToDefaults(s, true);
    const engine::FormatRegistry registry = engine::BuildFormatRegistry();
    engine::ConversionJob job;
    job.outputFolder = work.string() + "/";
    job.outputExtension = "jpg";
    job.outputFormatId = engine::outputFormatId(registry, "jpg");
    engine::prepareOutputEncoding(job, s.output);
    engine::ProgressState progress;
    engine::NamingCounters counters;
    const std::vector<engine::InputFile> files = {{input, ""}};
    auto wholeRun = [&](int code) {
        s.input.rawLoadAs = code;
        return medianMs([&] {
            (void)engine::runConversion({s, job, files, progress, counters, registry});
        });
    };
    const double runAuto = wholeRun(engine::kLoadAuto);
    const double run24 = wholeRun(engine::kLoadRgb24);

    std::printf("header probe            %8.1f ms\n", header);
    std::printf("load Auto               %8.1f ms   (each decoder opening the file: %8.1f ms, ratio %.2f)\n", autoLoad,
                autoFile, autoLoad / autoFile);
    std::printf("load RGB 24-bit         %8.1f ms   (decoder reading the file:      %8.1f ms, ratio %.2f)\n", rgb24,
                rgb24File, rgb24 / rgb24File);
    std::printf("save JPEG + metadata    %8.1f ms\n", save);
    std::printf("save JPEG, no metadata  %8.1f ms\n", saveBare);
    std::printf("whole file, Auto        %8.1f ms\n", runAuto);
    std::printf("whole file, RGB 24-bit  %8.1f ms\n", run24);

    std::error_code ec;
    fs::remove_all(work, ec);
    return 0;
}
