#include "engine/colour.h"
#include "engine/output_encoding.h"

#include "support/colour_fixtures.h"

#include <gtest/gtest.h>

namespace {

settings::AdjustmentSettings correction(int brightness = 0, int contrast = 0, float gamma = 1.0f,
                                        bool invert = false)
{
    settings::AdjustmentSettings s;
    s.doImageColorCorrection = 1;
    s.imageBrightness = brightness;
    s.imageContrast = contrast;
    s.imageGamma = gamma;
    s.imageInvert = invert ? 1 : 0;
    return s;
}

TEST(CorrectColours, A48BitImageIsCorrectedAt24Bits)
{
    engine::Bitmap image = fixtures::rgb16Bitmap(8, 8, 100 * 257, 100 * 257, 100 * 257);
    engine::Bitmap corrected = engine::correctColours(std::move(image), correction(0, 0, 1.0f, true));
    ASSERT_TRUE(corrected);
    EXPECT_EQ(FreeImage_GetImageType(corrected.get()), FIT_BITMAP);
    EXPECT_EQ(FreeImage_GetBPP(corrected.get()), 24u);
    EXPECT_EQ(fixtures::pixelAt(corrected.get(), 3, 3), (settings::Rgb{155, 155, 155}));
}

TEST(CorrectColours, DepthsTheAdjustmentCannotTakeAreConvertedTo24Bits)
{
    const std::pair<int, unsigned> cases[] = {{1, 24}, {4, 24}, {16, 24}, {8, 8}, {24, 24}, {32, 32}};
    for (auto [bpp, expected] : cases) {
        SCOPED_TRACE(bpp);
        engine::Bitmap image(FreeImage_Allocate(4, 4, bpp));
        engine::Bitmap corrected = engine::correctColours(std::move(image), correction(20));
        ASSERT_TRUE(corrected);
        EXPECT_EQ(FreeImage_GetBPP(corrected.get()), expected);
    }
}

TEST(CorrectColours, InvertBrightnessAndNeutralValues)
{
    engine::Bitmap inverted =
        engine::correctColours(fixtures::solidBitmap(4, 4, 24, {10, 20, 30}), correction(0, 0, 1.0f, true));
    EXPECT_EQ(fixtures::pixelAt(inverted.get(), 1, 1), (settings::Rgb{245, 235, 225}));

    engine::Bitmap brighter =
        engine::correctColours(fixtures::solidBitmap(4, 4, 24, {100, 100, 100}), correction(50));
    EXPECT_GT(fixtures::pixelAt(brighter.get(), 1, 1).r, 100);

    // Neutral values with the flag on still run the adjustment: the same bitmap, the same pixels.
    engine::Bitmap pattern = fixtures::patternBitmap(6, 6);
    FIBITMAP* before = pattern.get();
    engine::Bitmap neutral = engine::correctColours(std::move(pattern), correction());
    EXPECT_EQ(neutral.get(), before);
    EXPECT_TRUE(fixtures::samePixels(neutral.get(), fixtures::patternBitmap(6, 6).get()));
}

TEST(CorrectColours, OffLeavesEvenA48BitImageAlone)
{
    settings::AdjustmentSettings off = correction(50);
    off.doImageColorCorrection = 0;
    engine::Bitmap image = fixtures::rgb16Bitmap(4, 4, 1, 2, 3);
    FIBITMAP* before = image.get();
    engine::Bitmap after = engine::correctColours(std::move(image), off);
    EXPECT_EQ(after.get(), before);
    EXPECT_EQ(FreeImage_GetBPP(after.get()), 48u);
}

TEST(GreyscaleAndThreshold, GiveBlackBelowTheLevelAndWhiteFromIt)
{
    settings::AdjustmentSettings s;
    s.doImageGreyscale = 1;
    s.doImageThreshold = 1;
    s.imageThreshold = 128;
    // A 24-bit strip of grey levels around the threshold, plus pure colours.
    engine::Bitmap strip(FreeImage_Allocate(6, 2, 24));
    const settings::Rgb colours[] = {{0, 0, 0},       {127, 127, 127}, {128, 128, 128},
                                     {129, 129, 129}, {255, 255, 255}, {0, 0, 255}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x) {
            RGBQUAD q{colours[x].b, colours[x].g, colours[x].r, 0};
            FreeImage_SetPixelColor(strip.get(), x, y, &q);
        }

    engine::Bitmap grey = engine::makeGreyscale(std::move(strip), s);
    ASSERT_TRUE(grey);
    EXPECT_EQ(FreeImage_GetBPP(grey.get()), 8u);
    engine::Bitmap bw = engine::applyThreshold(std::move(grey), s);
    ASSERT_TRUE(bw);
    ASSERT_EQ(FreeImage_GetBPP(bw.get()), 1u);
    const settings::Rgb black{0, 0, 0}, white{255, 255, 255};
    const settings::Rgb expected[] = {black, black, white, white, white, black}; // pure blue is dark
    for (int x = 0; x < 6; ++x) EXPECT_EQ(fixtures::pixelAt(bw.get(), x, 1), expected[x]) << "x " << x;

    // A jpg with automatic depth chooses from the 24-bit load: back to 24 bits, still black and white.
    engine::ConversionJob job;
    job.outputExtension = "jpg";
    job.automaticDepth = true;
    engine::Bitmap saved = engine::convertToTargetDepth(std::move(bw), job, 24, "8,24");
    ASSERT_TRUE(saved);
    EXPECT_EQ(job.targetBitDepth, 24);
    EXPECT_EQ(FreeImage_GetBPP(saved.get()), 24u);
    EXPECT_EQ(fixtures::pixelAt(saved.get(), 1, 0), black);
    EXPECT_EQ(fixtures::pixelAt(saved.get(), 2, 0), white);
}

TEST(GreyscaleAndThreshold, DeepImagesAndTheLow8BitsOfTheLevel)
{
    settings::AdjustmentSettings s;
    s.doImageGreyscale = 1;
    engine::Bitmap grey = engine::makeGreyscale(fixtures::rgb16Bitmap(4, 4, 65535, 65535, 65535), s);
    ASSERT_TRUE(grey);
    EXPECT_EQ(FreeImage_GetBPP(grey.get()), 8u);
    EXPECT_EQ(fixtures::pixelAt(grey.get(), 0, 0), (settings::Rgb{255, 255, 255}));

    // An 8-bit grey picture is already greyscale: no copy.
    engine::Bitmap ramp = fixtures::greyRamp(2, {10, 200});
    FIBITMAP* before = ramp.get();
    EXPECT_EQ(engine::makeGreyscale(std::move(ramp), s).get(), before);

    settings::AdjustmentSettings t;
    t.doImageThreshold = 1;
    t.imageThreshold = 256 + 100; // stored out of range: only its low 8 bits count
    engine::Bitmap bw = engine::applyThreshold(fixtures::greyRamp(2, {99, 100}), t);
    ASSERT_TRUE(bw);
    EXPECT_EQ(fixtures::pixelAt(bw.get(), 0, 0), (settings::Rgb{0, 0, 0}));
    EXPECT_EQ(fixtures::pixelAt(bw.get(), 1, 0), (settings::Rgb{255, 255, 255}));

    engine::Bitmap deep = engine::applyThreshold(fixtures::rgb16Bitmap(4, 4, 0, 0, 0), t);
    ASSERT_TRUE(deep);
    EXPECT_EQ(FreeImage_GetBPP(deep.get()), 1u);
}

TEST(ColourSteps, AnEmptyBitmapComesStraightBack)
{
    settings::AdjustmentSettings s = correction(10);
    s.doImageGreyscale = 1;
    s.doImageThreshold = 1;
    EXPECT_FALSE(engine::correctColours(nullptr, s));
    EXPECT_FALSE(engine::makeGreyscale(nullptr, s));
    EXPECT_FALSE(engine::applyThreshold(nullptr, s));
}

} // namespace
