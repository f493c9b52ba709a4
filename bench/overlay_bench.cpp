// Frame plus text watermark on a 6000 x 4000 24-bit picture, against the JPEG encoding of the
// same picture (quality 95, in memory). Prints the median of several runs of each and their ratio;
// the overlays should cost well under half of the save.
#include "engine/overlays.h"
#include "platform/fonts.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace
{

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kRuns = 5;

// A smooth gradient with a fine texture, so the encoder has real work to do.
engine::Bitmap syntheticPhoto()
{
    engine::Bitmap b(FreeImage_Allocate(kWidth, kHeight, 24));
    for (int y = 0; y < kHeight; ++y) {
        BYTE* p = FreeImage_GetScanLine(b.get(), y);
        for (int x = 0; x < kWidth; ++x, p += 3) {
            const unsigned texture =
                (static_cast<unsigned>(x) * 2654435761u ^ static_cast<unsigned>(y) * 40503u) >> 28;
            p[FI_RGBA_RED] = static_cast<BYTE>((x * 255 / kWidth + texture) & 0xFF);
            p[FI_RGBA_GREEN] = static_cast<BYTE>((y * 255 / kHeight + texture) & 0xFF);
            p[FI_RGBA_BLUE] = static_cast<BYTE>(((x + y) * 255 / (kWidth + kHeight)) ^ texture);
        }
    }
    return b;
}

template <typename F> double medianSeconds(F&& run)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

} // namespace

int main()
{
    settings::ConversionSettings s;
    settings::ResetToDefaults(s, true);
    s.frame.doFrame = 1;
    s.frame.solidLeft = s.frame.solidRight = s.frame.solidTop = s.frame.solidBottom = 40;
    s.frame.solidTopColor = "FF8000";
    s.frame.solidLeftColor = "0000FF";
    s.frame.solidOpacity = 200;
    s.watermark.doWatermark = 1;
    s.watermark.text = "Shot %filename%%eol%";
    s.watermark.text += settings::defaultWatermarkText();
    s.watermark.fontSize = 48;
    s.watermark.textAntialiasing = 1;
    s.watermark.textPadding = 12;
    s.watermark.backOpacity = 128;
    s.watermark.textBoundary = 1;

    platform::FontRegistry fonts;
    if (!fonts.load(platform::kWatermarkFontSlot, {s.watermark.font, s.watermark.fontSize}))
        std::printf("warning: font %s not loadable, the watermark is skipped\n", s.watermark.font.c_str());
    engine::ConversionJob job;
    job.outputExtension = "jpg";
    engine::CurrentImage current;
    current.inputPath = "/photos/DSC_0042.NEF";
    engine::NamingCounters counters;
    const engine::OverlayContext ctx{s, job, current, counters, &fonts};

    engine::Bitmap picture = syntheticPhoto();
    const double overlays = medianSeconds([&] {
        picture = engine::applyFrame(std::move(picture), ctx, kWidth, kHeight);
        picture = engine::applyWatermark(std::move(picture), ctx, kWidth, kHeight);
    });
    if (!picture) {
        std::printf("overlay steps failed\n");
        return 1;
    }
    const double save = medianSeconds([&] {
        FIMEMORY* mem = FreeImage_OpenMemory();
        FreeImage_SaveToMemory(FIF_JPEG, picture.get(), mem, 95);
        FreeImage_CloseMemory(mem);
    });
    std::printf("picture             %d x %d, 24 bits\n", kWidth, kHeight);
    std::printf("frame + watermark   %8.2f ms (median of %d)\n", overlays * 1000, kRuns);
    std::printf("JPEG save (q 95)    %8.2f ms (median of %d)\n", save * 1000, kRuns);
    std::printf("ratio               %8.4f (limit 0.5)\n", overlays / save);
    return overlays / save < 0.5 ? 0 : 2;
}
