// Every real camera sample converts to a sound JPEG, in the default mode and as RGB 24-bit, with
// its metadata. Each sample is decoded once per mode (they are up to 9 megapixels).
#include "engine/worker.h"

#include "support/engine_fixtures.h"
#include "support/filelist_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>

namespace {

namespace fs = std::filesystem;
using engine::Bitmap;
using engine_fixtures::ConversionRun;
using engine_fixtures::decodeFile;
using engine_fixtures::metadataValue;

struct ModeResult {
    int converted = 0;
    std::string folder;
};

class RealSamples : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::string folder = engine_fixtures::samplesFolder("raw");
        if (folder.empty()) return;
        for (const auto& e : fs::directory_iterator(folder)) {
            if (e.is_regular_file() && e.path().extension() != ".tsv") s_samples.push_back(e.path().string());
        }
        std::sort(s_samples.begin(), s_samples.end());
        s_out = std::make_unique<filelist_fixtures::TempFolder>();
        for (int mode : {0, 3}) {
            const std::string out = s_out->folder("mode" + std::to_string(mode));
            ConversionRun run(out);
            run.settings.input.rawLoadAs = mode;
            for (const std::string& s : s_samples) run.files.push_back({s, ""});
            s_results[mode] = {run.convert(), out};
        }
    }
    static void TearDownTestSuite() { s_out.reset(); }

    void SetUp() override
    {
        if (s_samples.empty()) GTEST_SKIP() << "no RAW samples at " PIXELVANE_SAMPLES_DIR "/raw";
    }

    static std::string outputOf(int mode, const std::string& sample)
    {
        return s_results[mode].folder + fs::path(sample).stem().string() + ".jpg";
    }

    static inline std::vector<std::string> s_samples;
    static inline std::unique_ptr<filelist_fixtures::TempFolder> s_out;
    static inline std::map<int, ModeResult> s_results;
};

// Mean and spread of the green channel on a coarse grid: a real photo is neither black nor flat.
void brightnessSpread(FIBITMAP* image, double& mean, double& spread)
{
    double sum = 0, sum2 = 0;
    int n = 0;
    for (int gy = 1; gy < 16; ++gy) {
        for (int gx = 1; gx < 16; ++gx) {
            const double v = engine_fixtures::colourAt(image, gx / 16.0, gy / 16.0).g;
            sum += v;
            sum2 += v * v;
            ++n;
        }
    }
    mean = sum / n;
    spread = std::sqrt(std::max(0.0, sum2 / n - mean * mean));
}

// Samples whose pixels the camera-RAW decoder itself cannot render: their JPEG is checked for
// form and size only.
bool decoderRendersNoPicture(const std::string& sample)
{
    const std::string name = fs::path(sample).filename().string();
    return name == "Nikon_D500_AdobeDNG_600x400.dng"      // lossy tiles decode to black; the preview is black
           || name == "Nikon_COOLSCAN_IV_ED_scanner.nef";  // a film scan, rendered almost white
}

TEST_F(RealSamples, EverySampleConvertsToASoundJpegInBothModes)
{
    for (int mode : {0, 3}) {
        EXPECT_EQ(s_results[mode].converted, static_cast<int>(s_samples.size())) << "mode " << mode;
        for (const std::string& sample : s_samples) {
            SCOPED_TRACE(sample + " in mode " + std::to_string(mode));
            const std::string out = outputOf(mode, sample);
            ASSERT_EQ(FreeImage_GetFileType(out.c_str(), 0), FIF_JPEG);
            Bitmap jpeg = decodeFile(out);
            ASSERT_TRUE(jpeg);
            Bitmap full(FreeImage_Load(FIF_RAW, sample.c_str(), FIF_LOAD_NOPIXELS));
            ASSERT_TRUE(full);
            const unsigned fullLong = std::max(FreeImage_GetWidth(full.get()), FreeImage_GetHeight(full.get()));
            const unsigned outLong = std::max(FreeImage_GetWidth(jpeg.get()), FreeImage_GetHeight(jpeg.get()));
            if (mode == 3) EXPECT_EQ(outLong, fullLong);
            else EXPECT_GE(2 * outLong, fullLong);   // never a thumbnail
            if (decoderRendersNoPicture(sample)) continue;
            double mean = 0, spread = 0;
            brightnessSpread(jpeg.get(), mean, spread);
            EXPECT_GT(mean, 10.0);
            EXPECT_LT(mean, 245.0);
            EXPECT_GT(spread, 3.0);
        }
    }
}

TEST_F(RealSamples, CaptureTimeMakeAndModelReachTheOutput)
{
    struct Expected {
        const char* sample;
        const char* make;
        const char* model;
        const char* taken;
    };
    const Expected cases[] = {
        {"Nikon_D500_AdobeDNG_600x400.dng", "NIKON CORPORATION", "NIKON D500", "2026:07:20 22:20:59"},
        {"Canon_EOS_6D_lossyDNG_1224x816.dng", "Canon", "Canon EOS 6D", "2019:06:06 07:29:51"},
        {"LG_H815_lossyDNG_600x338.dng", "LG Mobile", "LG-H815", "2015:06:08 12:10:44"},
        {"Canon_EOS_D30.CRW", "Canon", "Canon EOS D30", "2018:01:01 13:03:32"},
    };
    for (const Expected& c : cases) {
        const auto found = std::find_if(s_samples.begin(), s_samples.end(),
                                        [&](const std::string& s) { return fs::path(s).filename() == c.sample; });
        if (found == s_samples.end()) continue;
        for (int mode : {0, 3}) {
            SCOPED_TRACE(std::string(c.sample) + " in mode " + std::to_string(mode));
            const std::string out = outputOf(mode, *found);
            EXPECT_EQ(metadataValue(out, "Exif.Image.Make"), c.make);
            EXPECT_EQ(metadataValue(out, "Exif.Image.Model"), c.model);
            EXPECT_EQ(metadataValue(out, "Exif.Photo.DateTimeOriginal"), c.taken);
            EXPECT_EQ(metadataValue(out, "Exif.Image.Orientation"), "1");
        }
    }
}

} // namespace
