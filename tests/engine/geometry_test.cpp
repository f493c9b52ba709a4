#include "engine/geometry.h"

#include "support/colour_fixtures.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using engine::Size;

constexpr settings::Rgb kRed{255, 0, 0};
constexpr settings::Rgb kWhite{255, 255, 255};

settings::TransformSettings resizeTo(int width, int height, int unit = 0, bool keepRatio = true, int type = 0)
{
    settings::TransformSettings s;
    s.doImageResize = 1;
    s.imageWidth = width;
    s.imageHeight = height;
    s.imageWidthUnit = static_cast<settings::Flag>(unit);
    s.imageHeightUnit = static_cast<settings::Flag>(unit);
    s.keepAspectRatio = keepRatio ? 1 : 0;
    s.imageResizeType = static_cast<settings::Flag>(type);
    return s;
}

settings::TransformSettings rotateBy(int angle, int type = 0, const char* background = "000000")
{
    settings::TransformSettings s;
    s.doImageRotation = 1;
    s.imageRotation = angle;
    s.imageRotationType = static_cast<settings::Flag>(type);
    s.imageRotationBackColor = background;
    return s;
}

Size sizeOf(const engine::Bitmap& b)
{
    return {static_cast<int>(FreeImage_GetWidth(b.get())), static_cast<int>(FreeImage_GetHeight(b.get()))};
}

struct ResizeCase {
    const char* what;
    settings::TransformSettings settings;
    Size source;
    std::optional<Size> expected;
};

TEST(ResizeTarget, FollowsUnitsAspectRatioAndLargeImagesRule)
{
    settings::TransformSettings off = resizeTo(800, 600);
    off.doImageResize = 0;
    settings::TransformSettings badUnit = resizeTo(50, 50);
    badUnit.imageWidthUnit = 2;

    const ResizeCase cases[] = {
        {"landscape fits the box", resizeTo(800, 600), {4000, 3000}, Size{800, 600}},
        {"portrait: the height governs, single-precision ratio",
         resizeTo(800, 600),
         {3000, 4000},
         Size{450, 600}},
        {"landscape ignores the target height", resizeTo(1000, 1), {4000, 2000}, Size{1000, 500}},
        {"percent rounds halves to even", resizeTo(50, 50, 1, false), {3001, 2001}, Size{1500, 1000}},
        {"percent rounds halves up to even", resizeTo(50, 50, 1, false), {3003, 1001}, Size{1502, 500}},
        {"percent with the ratio kept", resizeTo(50, 50, 1), {3001, 2001}, Size{1500, 1000}},
        {"50 percent of 6000x4000", resizeTo(50, 50, 1), {6000, 4000}, Size{3000, 2000}},
        {"no ratio: both targets as given", resizeTo(640, 640, 0, false), {4000, 3000}, Size{640, 640}},
        {"large images: taller than the target",
         resizeTo(1920, 1080, 0, true, 1),
         {1600, 1200},
         Size{1920, 1440}},
        {"large images: smaller both ways", resizeTo(1920, 1080, 0, true, 1), {1280, 720}, std::nullopt},
        {"all images: small ones grow", resizeTo(1920, 1080, 0, true, 0), {1280, 720}, Size{1920, 1080}},
        {"same size", resizeTo(4000, 3000), {4000, 3000}, std::nullopt},
        {"kept ratio lands on the same size", resizeTo(800, 1), {800, 600}, std::nullopt},
        {"zero width", resizeTo(0, 600), {4000, 3000}, std::nullopt},
        {"negative height", resizeTo(800, -1), {4000, 3000}, std::nullopt},
        {"unknown unit", badUnit, {4000, 3000}, std::nullopt},
        {"resizing off", off, {4000, 3000}, std::nullopt},
        {"a thin strip keeps one pixel", resizeTo(1, 1), {4000, 2000}, Size{1, 1}},
    };
    for (const ResizeCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(engine::resizeTarget(c.settings, c.source), c.expected);
    }
}

TEST(ResizeFilter, MapsAlgorithmCodes)
{
    const std::pair<int, FREE_IMAGE_FILTER> cases[] = {
        {0, FILTER_BOX},        {1, FILTER_BILINEAR}, {2, FILTER_BSPLINE}, {3, FILTER_BICUBIC},
        {4, FILTER_CATMULLROM}, {5, FILTER_LANCZOS3}, {6, FILTER_BICUBIC}, {-1, FILTER_BICUBIC},
    };
    for (auto [code, filter] : cases) EXPECT_EQ(engine::resizeFilter(code), filter) << "code " << code;
}

TEST(ResizeImage, RescalesAndLeavesUnchangedImagesAlone)
{
    engine::Bitmap grey = fixtures::solidBitmap(64, 48, 24, {128, 128, 128});
    engine::Bitmap half = engine::resizeImage(std::move(grey), resizeTo(50, 50, 1), 64, 48);
    ASSERT_TRUE(half);
    EXPECT_EQ(sizeOf(half), (Size{32, 24}));
    // A flat picture stays flat through any filter (allow one level for filter rounding).
    const settings::Rgb c = fixtures::pixelAt(half.get(), 16, 12);
    EXPECT_NEAR(c.r, 128, 1);
    EXPECT_NEAR(c.b, 128, 1);

    FIBITMAP* before = half.get();
    engine::Bitmap same = engine::resizeImage(std::move(half), resizeTo(32, 24), 32, 24);
    EXPECT_EQ(same.get(), before);
    EXPECT_FALSE(engine::resizeImage(nullptr, resizeTo(32, 24), 0, 0));
}

TEST(ResizeImage, AnAbsurdTargetFailsTheFileInsteadOfExhaustingMemory)
{
    // 30000 percent of a 64x48 picture would still be fine; of 4000 x 3000 it is not.
    const std::optional<Size> huge = engine::resizeTarget(resizeTo(30000, 30000, 1), {4000, 3000});
    ASSERT_TRUE(huge);
    EXPECT_EQ(*huge, (Size{1'200'000, 900'000}));
    EXPECT_FALSE(engine::resizeImage(fixtures::patternBitmap(8, 6), resizeTo(1'200'000, 900'000), 8, 6));
    EXPECT_FALSE(engine::resizeImage(fixtures::patternBitmap(8, 6), resizeTo(2'000'000'000, 100, 1), 8, 6));
    EXPECT_TRUE(engine::resizeImage(fixtures::patternBitmap(8, 6), resizeTo(30000, 30000, 1), 8, 6));
}

TEST(RotateImage, NinetyDegreesSwapsTheSizeAndTurnsCounterClockwise)
{
    engine::Bitmap image = fixtures::solidBitmap(40, 30, 24, kWhite);
    RGBQUAD red{0, 0, 255, 0};
    FreeImage_SetPixelColor(image.get(), 0, 29, &red); // top-left corner as seen
    engine::Bitmap turned = engine::rotateImage(std::move(image), rotateBy(90, 0, "FF0000"));
    ASSERT_TRUE(turned);
    EXPECT_EQ(sizeOf(turned), (Size{30, 40}));
    EXPECT_EQ(fixtures::pixelAt(turned.get(), 0, 0), kRed); // now the bottom-left corner
}

TEST(RotateImage, FourQuarterTurnsGiveTheOriginal)
{
    engine::Bitmap original = fixtures::patternBitmap(9, 5);
    engine::Bitmap image(FreeImage_Clone(original.get()));
    for (int i = 0; i < 4; ++i) image = engine::rotateImage(std::move(image), rotateBy(90));
    ASSERT_TRUE(image);
    EXPECT_TRUE(fixtures::samePixels(image.get(), original.get()));
}

TEST(RotateImage, FortyFiveDegreesPaintsTheCornersWithTheBackground)
{
    engine::Bitmap turned =
        engine::rotateImage(fixtures::solidBitmap(32, 32, 24, kWhite), rotateBy(45, 0, "FF0000"));
    ASSERT_TRUE(turned);
    const Size size = sizeOf(turned);
    EXPECT_GT(size.width, 32); // the bounding box of the turned square
    EXPECT_EQ(size.width, size.height);
    for (auto [x, y] :
         {std::pair{0, 0}, {size.width - 1, 0}, {0, size.height - 1}, {size.width - 1, size.height - 1}})
        EXPECT_EQ(fixtures::pixelAt(turned.get(), x, y), kRed) << x << "," << y;
    EXPECT_EQ(fixtures::pixelAt(turned.get(), size.width / 2, size.height / 2), kWhite);
}

TEST(RotateImage, AdvancedRotationKeepsTheSize)
{
    engine::Bitmap turned = engine::rotateImage(fixtures::patternBitmap(40, 30), rotateBy(30, 1));
    ASSERT_TRUE(turned);
    EXPECT_EQ(sizeOf(turned), (Size{40, 30}));
    EXPECT_FALSE(fixtures::samePixels(turned.get(), fixtures::patternBitmap(40, 30).get()));
}

TEST(RotateImage, OtherDepthsTurnAs24Bits)
{
    engine::Bitmap deep = engine::rotateImage(fixtures::rgb16Bitmap(8, 6, 65535, 0, 0), rotateBy(90));
    ASSERT_TRUE(deep);
    EXPECT_EQ(FreeImage_GetBPP(deep.get()), 24u);
    EXPECT_EQ(fixtures::pixelAt(deep.get(), 0, 0), kRed);

    engine::Bitmap grey = engine::rotateImage(fixtures::greyRamp(6, {0, 100, 200}), rotateBy(90));
    ASSERT_TRUE(grey);
    EXPECT_EQ(FreeImage_GetBPP(grey.get()), 24u);
    EXPECT_EQ(sizeOf(grey), (Size{6, 3}));
}

TEST(RotateImage, AnglesOutsideTheOpenRangeAndOtherTypesDoNothing)
{
    settings::TransformSettings off = rotateBy(90);
    off.doImageRotation = 0;
    const settings::TransformSettings cases[] = {rotateBy(0),   rotateBy(360),   rotateBy(-90),
                                                 rotateBy(450), rotateBy(90, 2), off};
    for (const auto& s : cases) {
        engine::Bitmap image = fixtures::greyRamp(4, {1, 2, 3});
        FIBITMAP* before = image.get();
        engine::Bitmap after = engine::rotateImage(std::move(image), s);
        EXPECT_EQ(after.get(), before) << "angle " << s.imageRotation << " type " << int(s.imageRotationType);
        EXPECT_EQ(FreeImage_GetBPP(after.get()), 8u); // not even converted
    }
}

TEST(FlipImage, BothFlipsEqualAHalfTurnInPlace)
{
    settings::TransformSettings both;
    both.doImageFlipHorizontal = 1;
    both.doImageFlipVertical = 1;
    engine::Bitmap flipped = fixtures::patternBitmap(7, 5);
    FIBITMAP* before = flipped.get();
    flipped = engine::flipImage(std::move(flipped), both);
    EXPECT_EQ(flipped.get(), before);

    engine::Bitmap turned = engine::rotateImage(fixtures::patternBitmap(7, 5), rotateBy(180));
    ASSERT_TRUE(turned);
    EXPECT_TRUE(fixtures::samePixels(flipped.get(), turned.get()));
}

TEST(FlipImage, HorizontalMirrorsLeftAndRight)
{
    settings::TransformSettings horizontal;
    horizontal.doImageFlipHorizontal = 1;
    engine::Bitmap flipped = engine::flipImage(fixtures::patternBitmap(7, 5), horizontal);
    engine::Bitmap original = fixtures::patternBitmap(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(fixtures::pixelAt(flipped.get(), x, y), fixtures::pixelAt(original.get(), 6 - x, y));
}

TEST(GeometrySteps, AnEmptyBitmapComesStraightBack)
{
    settings::TransformSettings all = rotateBy(90);
    all.doImageResize = 1;
    all.imageWidth = 10;
    all.imageHeight = 10;
    all.doImageFlipHorizontal = 1;
    EXPECT_FALSE(engine::rotateImage(nullptr, all));
    EXPECT_FALSE(engine::resizeImage(nullptr, all, 20, 20));
    EXPECT_FALSE(engine::flipImage(nullptr, all));
}

} // namespace
