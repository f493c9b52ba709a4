#include "engine/overlays.h"
#include "engine/watermark.h"

#include "platform/drawing.h"
#include "platform/fonts.h"
#include "support/overlays_pictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

using engine::OverlayArea;
using engine::OverlayPlacement;
using overlays_test::Pixel;
using overlays_test::pixelAt;
using overlays_test::solidPicture;

// ---- placement -------------------------------------------------------------------------------

struct PlaceCase {
    const char* what;
    OverlayArea area;
    int w, h, anchor, x, y;
    OverlayPlacement expected;
};

TEST(WatermarkPlacement, AnchorsOffsetsAndCropping)
{
    const OverlayArea picture{0, 0, 3000, 2000};
    const PlaceCase cases[] = {
        {"default bottom-right", picture, 200, 40, 8, 10, 10, {2790, 1950, 200, 40}},
        {"top-left", picture, 200, 40, 0, 10, 10, {10, 10, 200, 40}},
        {"top-center", picture, 200, 40, 1, 10, 10, {1400, 10, 200, 40}},
        {"top-right", picture, 200, 40, 2, 10, 10, {2790, 10, 200, 40}},
        {"middle-left", picture, 200, 40, 3, 10, 10, {10, 980, 200, 40}},
        {"middle-center", picture, 200, 40, 4, 10, 10, {1400, 980, 200, 40}},
        {"middle-right", picture, 200, 40, 5, 10, 10, {2790, 980, 200, 40}},
        {"bottom-left", picture, 200, 40, 6, 10, 10, {10, 1950, 200, 40}},
        {"bottom-center", picture, 200, 40, 7, 10, 10, {1400, 1950, 200, 40}},
        {"unknown anchor goes to the corner", picture, 200, 40, 9, 10, 10, {0, 0, 200, 40}},
        {"centre ignores the offset but the crop does not", picture, 3000, 40, 4, 10, 10, {5, 980, 2990, 40}},
        {"too tall: the top part is kept", picture, 100, 2500, 0, 10, 30, {10, 30, 100, 1970}},
        {"odd remainder truncates", {0, 0, 101, 51}, 20, 20, 4, 0, 0, {40, 15, 20, 20}},
        {"negative centre offset truncates toward zero",
         {0, 0, 100, 100},
         111,
         10,
         4,
         -11,
         0,
         {-5, 45, 111, 10}},
        {"inside a 50-pixel frame", {50, 50, 2900, 1900}, 200, 40, 0, 10, 10, {60, 60, 200, 40}},
        {"inside a frame, bottom-right", {50, 50, 2900, 1900}, 200, 40, 8, 10, 10, {2740, 1900, 200, 40}},
        {"offsets larger than the area leave nothing", picture, 200, 40, 0, 3000, 10, {3000, 10, 0, 40}},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(engine::placeOverlay(c.area, c.w, c.h, c.anchor, c.x, c.y), c.expected);
    }
}

TEST(WatermarkPlacement, FrameBoundaryOnlyWithTheFrameOn)
{
    settings::FrameSettings frame;
    frame.solidLeft = 50;
    frame.solidRight = 40;
    frame.solidTop = 30;
    frame.solidBottom = 20;
    auto same = [](OverlayArea a, OverlayArea b) {
        return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
    };
    frame.doFrame = 0;
    EXPECT_TRUE(same(engine::watermarkArea(frame, 1, 3000, 2000), {0, 0, 3000, 2000}));
    frame.doFrame = 1;
    EXPECT_TRUE(same(engine::watermarkArea(frame, 0, 3000, 2000), {0, 0, 3000, 2000}));
    EXPECT_TRUE(same(engine::watermarkArea(frame, 1, 3000, 2000), {50, 30, 2910, 1950}));
}

// ---- text layout -----------------------------------------------------------------------------

TEST(WatermarkText, LinesSplitAtEveryLineBreakTokenInAnyCase)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(engine::splitWatermarkLines("line one%EOL%line two"), (V{"line one", "line two"}));
    EXPECT_EQ(engine::splitWatermarkLines("a%eol%%Eol%b%eOl%"), (V{"a", "", "b", ""}));
    EXPECT_EQ(engine::splitWatermarkLines("100% sure %eo"), (V{"100% sure %eo"}));
    EXPECT_EQ(engine::splitWatermarkLines(""), (V{""}));
}

TEST(WatermarkText, BoxLayoutPitchPaddingAndAlignment)
{
    const engine::LineSize one[] = {{120, 22}};
    auto single = engine::layoutTextBox(one, 5, 7, 2);
    EXPECT_EQ(single.width, 130);
    EXPECT_EQ(single.height, 32);
    // A single line always starts at the padding, whatever the alignment.
    EXPECT_EQ(single.lineX, std::vector<int>{5});
    EXPECT_EQ(single.lineY, std::vector<int>{5});

    const engine::LineSize two[] = {{100, 20}, {61, 24}};
    auto left = engine::layoutTextBox(two, 4, 3, 0);
    EXPECT_EQ(left.pitch, 27); // the taller line plus the leading
    EXPECT_EQ(left.width, 108);
    EXPECT_EQ(left.height, 24 + 27 + 8);
    EXPECT_EQ(left.lineX, (std::vector<int>{4, 4}));
    EXPECT_EQ(left.lineY, (std::vector<int>{4, 31}));
    EXPECT_EQ(engine::layoutTextBox(two, 4, 3, 1).lineX, (std::vector<int>{4, 24})); // round(47 / 2)
    EXPECT_EQ(engine::layoutTextBox(two, 4, 3, 2).lineX, (std::vector<int>{4, 43}));

    // Several lines are never smaller than 10 x 10 each.
    const engine::LineSize empty[] = {{0, 0}, {3, 4}};
    auto tiny = engine::layoutTextBox(empty, 0, 0, 0);
    EXPECT_EQ(tiny.width, 10);
    EXPECT_EQ(tiny.height, 20);
}

// ---- rendering and the whole step ------------------------------------------------------------

class Watermark : public ::testing::Test {
  protected:
    void SetUp() override
    {
        settings::ResetToDefaults(m_settings, true);
        m_settings.watermark.doWatermark = 1;
        m_current.inputPath = "/photos/DSC_0042.NEF";
        m_job.outputExtension = "jpg";
    }
    void TearDown() override
    {
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
    }
    bool loadFont(int points = 14)
    {
        return m_fonts.load(platform::kWatermarkFontSlot,
                            {m_settings.watermark.font, points, (m_settings.watermark.fontStyle & 1) != 0,
                             (m_settings.watermark.fontStyle & 2) != 0});
    }
    const platform::Font& font() const { return *m_fonts.font(platform::kWatermarkFontSlot); }
    engine::Bitmap run(engine::Bitmap picture, bool withFonts = true)
    {
        const int w = static_cast<int>(FreeImage_GetWidth(picture.get()));
        const int h = static_cast<int>(FreeImage_GetHeight(picture.get()));
        return engine::applyWatermark(
            std::move(picture), {m_settings, m_job, m_current, m_counters, withFonts ? &m_fonts : nullptr}, w,
            h);
    }
    std::string file(const std::string& name)
    {
        if (m_dir.empty()) m_dir = overlays_test::scratchFolder("watermark");
        return (m_dir / name).string();
    }

    settings::ConversionSettings m_settings;
    engine::ConversionJob m_job;
    engine::CurrentImage m_current;
    engine::NamingCounters m_counters;
    platform::FontRegistry m_fonts;
    std::filesystem::path m_dir;
};

TEST_F(Watermark, TwoLinesStackOneTallestLinePlusLeadingApart)
{
    if (!loadFont(20)) GTEST_SKIP() << "no face for Arial";
    auto& s = m_settings.watermark;
    s.fontLeading = 6;
    s.textPadding = 3;
    const engine::Bitmap one = engine::renderTextOverlay("line one", s, font());
    const engine::Bitmap two = engine::renderTextOverlay("line one%EOL%line two", s, font());
    ASSERT_TRUE(one && two);
    const int lineHeight = static_cast<int>(FreeImage_GetHeight(one.get())) - 6;
    EXPECT_EQ(static_cast<int>(FreeImage_GetHeight(two.get())), lineHeight + (lineHeight + 6) + 6);
    EXPECT_EQ(FreeImage_GetBPP(two.get()), 32u);
}

TEST_F(Watermark, BackOpacityFromInvisibleToSolid)
{
    if (!loadFont()) GTEST_SKIP() << "no face for Arial";
    auto& s = m_settings.watermark;
    s.backColor = "102030";
    s.fontColor = "FFFFFF";
    for (const bool antialiased : {false, true}) {
        SCOPED_TRACE(antialiased ? "antialiased" : "aliased");
        s.textAntialiasing = antialiased;
        s.backOpacity = 255;
        engine::Bitmap solid = engine::renderTextOverlay("Solid 100%", s, font());
        ASSERT_TRUE(solid);
        std::set<int> alphas;
        const int w = static_cast<int>(FreeImage_GetWidth(solid.get()));
        const int h = static_cast<int>(FreeImage_GetHeight(solid.get()));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                alphas.insert(pixelAt(solid.get(), x, y).a);
        EXPECT_EQ(alphas, std::set<int>{255});
        const Pixel corner = pixelAt(solid.get(), 0, 0);
        EXPECT_EQ(corner.r, 0x10);
        EXPECT_EQ(corner.b, 0x30);

        s.backOpacity = 1;
        engine::Bitmap faint = engine::renderTextOverlay("Solid 100%", s, font());
        ASSERT_TRUE(faint);
        alphas.clear();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                alphas.insert(pixelAt(faint.get(), x, y).a);
        EXPECT_EQ(*alphas.begin(), 1);
        EXPECT_EQ(*alphas.rbegin(), 255);
        // Without antialiasing there are exactly two values: box and glyphs.
        if (!antialiased)
            EXPECT_EQ(alphas.size(), 2u);
        else
            EXPECT_GT(alphas.size(), 5u);
    }
}

TEST_F(Watermark, APercentSignIsDrawnAsItStands)
{
    if (!loadFont()) GTEST_SKIP() << "no face for Arial";
    auto& s = m_settings.watermark;
    s.text = "Sale 100%";
    s.backOpacity = 255;
    s.textPosition = 0;
    s.textXOffset = 0;
    s.textYOffset = 0;
    const auto width = platform::measureText(font(), "Sale 100%", platform::TextRendering::Aliased).width;
    engine::Bitmap out = run(solidPicture(400, 100, 24, 255, 255, 255));
    ASSERT_TRUE(out);
    // The solid box spans the whole text including the '%', then the picture resumes.
    EXPECT_EQ(pixelAt(out.get(), width - 1, 1).r, 0);
    EXPECT_EQ(pixelAt(out.get(), width, 1).r, 255);
}

TEST_F(Watermark, TextBoxLandsAtItsAnchorOverThePicture)
{
    if (!loadFont()) GTEST_SKIP() << "no face for Arial";
    auto& s = m_settings.watermark;
    s.text = "Pixelvane";
    s.backOpacity = 255;
    s.textPadding = 4;
    const engine::Bitmap box = engine::renderTextOverlay("Pixelvane", s, font());
    ASSERT_TRUE(box);
    const int bw = static_cast<int>(FreeImage_GetWidth(box.get()));
    const int bh = static_cast<int>(FreeImage_GetHeight(box.get()));

    engine::Bitmap out = run(solidPicture(300, 200, 8, 255, 255, 255));
    ASSERT_TRUE(out);
    EXPECT_EQ(FreeImage_GetBPP(out.get()), 24u);
    const int x = 300 - bw - 10, y = 200 - bh - 10;
    EXPECT_EQ(pixelAt(out.get(), x, y).r, 0); // box corner, in the back colour
    EXPECT_EQ(pixelAt(out.get(), x + bw - 1, y + bh - 1).r, 0);
    EXPECT_EQ(pixelAt(out.get(), x - 1, y).r, 255); // just outside it
    EXPECT_EQ(pixelAt(out.get(), x + bw, y + bh).r, 255);
}

TEST_F(Watermark, WithoutALoadedFontThePictureIsOnlyConverted)
{
    engine::Bitmap out = run(solidPicture(40, 30, 8, 200, 200, 200), false);
    ASSERT_TRUE(out);
    EXPECT_EQ(FreeImage_GetBPP(out.get()), 24u);
    EXPECT_EQ(pixelAt(out.get(), 29, 19).r, 200);
}

TEST_F(Watermark, AHugeFontSizeLeavesThePictureAloneInsteadOfExhaustingMemory)
{
    if (!loadFont(4000)) GTEST_SKIP() << "no face for Arial";
    m_settings.watermark.text = "A watermark far larger than any picture";
    m_settings.watermark.backOpacity = 255;
    engine::Bitmap out = run(solidPicture(64, 48, 24, 200, 200, 200));
    ASSERT_TRUE(out);
    EXPECT_EQ(pixelAt(out.get(), 63, 47).r, 200);
}

TEST_F(Watermark, RotationTurnsTheOverlayCounterClockwise)
{
    engine::Bitmap overlay = solidPicture(200, 40, 32, 0, 0, 0, 0);
    overlays_test::setPixel(overlay.get(), 0, 0, {255, 0, 0, 255}); // top-left marker
    engine::Bitmap turned = engine::rotateOverlay(std::move(overlay), 90);
    ASSERT_TRUE(turned);
    EXPECT_EQ(FreeImage_GetWidth(turned.get()), 40u);
    EXPECT_EQ(FreeImage_GetHeight(turned.get()), 200u);
    // A quarter turn to the left takes the top-left corner to the bottom-left.
    EXPECT_EQ(pixelAt(turned.get(), 0, 199).r, 255);
    EXPECT_EQ(pixelAt(turned.get(), 0, 199).a, 255);

    for (const int angle : {0, 360, -90, 720}) {
        engine::Bitmap same = engine::rotateOverlay(solidPicture(200, 40, 32, 0, 0, 0, 0), angle);
        EXPECT_EQ(FreeImage_GetWidth(same.get()), 200u) << angle;
    }
}

TEST_F(Watermark, ImageWithoutAlphaDarkensAndImageWithAlphaKeepsItsHoles)
{
    auto& s = m_settings.watermark;
    s.doWatermark = 2;
    s.imageOpacity = 128;
    s.imagePosition = 0;
    s.imageXOffset = 10;
    s.imageYOffset = 10;

    s.image = file("logo.jpg");
    engine::Bitmap logo = solidPicture(40, 30, 24, 255, 255, 255);
    ASSERT_TRUE(FreeImage_Save(FIF_JPEG, logo.get(), s.image.c_str(), JPEG_QUALITYSUPERB));
    engine::Bitmap out = run(solidPicture(100, 80, 24, 255, 255, 255));
    ASSERT_TRUE(out);
    // White at half strength over black: an opaque mid-grey rectangle.
    EXPECT_NEAR(pixelAt(out.get(), 20, 20).r, 128, 3);
    EXPECT_NEAR(pixelAt(out.get(), 49, 39).g, 128, 3);
    EXPECT_EQ(pixelAt(out.get(), 50, 40).r, 255);
    EXPECT_EQ(pixelAt(out.get(), 9, 9).r, 255);

    s.image = file("logo.png");
    engine::Bitmap holes = solidPicture(40, 30, 32, 0, 0, 255, 255);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 20; ++x)
            overlays_test::setPixel(holes.get(), x, y, {0, 0, 255, 0});
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, holes.get(), s.image.c_str(), 0));
    out = run(solidPicture(100, 80, 24, 255, 255, 255));
    ASSERT_TRUE(out);
    const Pixel hole = pixelAt(out.get(), 15, 25);
    EXPECT_EQ(hole.r, 255);
    EXPECT_EQ(hole.b, 255);
    const Pixel tinted = pixelAt(out.get(), 45, 25);
    EXPECT_NEAR(tinted.r, 127, 2);
    EXPECT_EQ(tinted.b, 255); // blue over white keeps full blue
}

TEST_F(Watermark, PaletteImageWithATransparentEntryStaysTransparentThere)
{
    auto& s = m_settings.watermark;
    s.doWatermark = 2;
    s.imagePosition = 0;
    s.imageXOffset = 0;
    s.imageYOffset = 0;
    s.image = file("palette.png");
    // Left half index 0 (transparent), right half index 1 (opaque black).
    engine::Bitmap logo(FreeImage_Allocate(20, 10, 8));
    RGBQUAD* pal = FreeImage_GetPalette(logo.get());
    pal[0] = RGBQUAD{0, 0, 255, 0};
    pal[1] = RGBQUAD{0, 0, 0, 0};
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            FreeImage_GetScanLine(logo.get(), y)[x] = x < 10 ? 0 : 1;
    BYTE table[2] = {0, 255};
    FreeImage_SetTransparencyTable(logo.get(), table, 2);
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, logo.get(), s.image.c_str(), 0));

    engine::Bitmap out = run(solidPicture(40, 20, 24, 255, 255, 255));
    ASSERT_TRUE(out);
    EXPECT_EQ(pixelAt(out.get(), 5, 5).g, 255); // a hole, not a black patch
    EXPECT_EQ(pixelAt(out.get(), 15, 5).g, 0);
}

TEST_F(Watermark, GreyscaleImageUsesTheWeightedSum)
{
    auto& s = m_settings.watermark;
    s.doWatermark = 2;
    s.imageGreyscale = 1;
    s.imagePosition = 0;
    s.imageXOffset = 0;
    s.imageYOffset = 0;
    s.image = file("colour.bmp");
    ASSERT_TRUE(FreeImage_Save(FIF_BMP, solidPicture(8, 8, 24, 200, 100, 50).get(), s.image.c_str(), 0));
    engine::Bitmap out = run(solidPicture(20, 20, 24, 0, 0, 0));
    ASSERT_TRUE(out);
    const Pixel p = pixelAt(out.get(), 3, 3);
    const int grey = (77 * 200 + 150 * 100 + 29 * 50) / 256; // 124
    EXPECT_EQ(p.r, grey);
    EXPECT_EQ(p.g, grey);
    EXPECT_EQ(p.b, grey);
}

TEST_F(Watermark, MissingOrUnreadableImageLeavesTheConvertedPicture)
{
    auto& s = m_settings.watermark;
    s.doWatermark = 2;
    for (const std::string& path : {file("gone.png"), std::string(), m_dir.string()}) {
        SCOPED_TRACE(path);
        s.image = path;
        engine::Bitmap out = run(solidPicture(40, 30, 8, 90, 90, 90));
        ASSERT_TRUE(out);
        EXPECT_EQ(FreeImage_GetBPP(out.get()), 24u);
        EXPECT_EQ(pixelAt(out.get(), 35, 25).r, 90);
    }
}

TEST_F(Watermark, OverlayHangingOffThePictureIsClippedNotDropped)
{
    auto& s = m_settings.watermark;
    s.doWatermark = 2;
    s.imagePosition = 0;
    s.imageXOffset = -10;
    s.imageYOffset = -10;
    s.image = file("square.bmp");
    ASSERT_TRUE(FreeImage_Save(FIF_BMP, solidPicture(30, 30, 24, 0, 0, 0).get(), s.image.c_str(), 0));
    engine::Bitmap out = run(solidPicture(50, 50, 24, 255, 255, 255));
    ASSERT_TRUE(out);
    EXPECT_EQ(pixelAt(out.get(), 0, 0).r, 0);
    EXPECT_EQ(pixelAt(out.get(), 19, 19).r, 0);
    EXPECT_EQ(pixelAt(out.get(), 20, 20).r, 255);
}

TEST_F(Watermark, FrameBoundaryKeepsTheOverlayInsideTheFrame)
{
    auto& s = m_settings.watermark;
    s.doWatermark = 2;
    s.imageBoundary = 1;
    s.imagePosition = 0;
    s.image = file("mark.bmp");
    ASSERT_TRUE(FreeImage_Save(FIF_BMP, solidPicture(20, 20, 24, 0, 0, 0).get(), s.image.c_str(), 0));
    auto& f = m_settings.frame;
    f.doFrame = 1;
    f.solidLeft = f.solidRight = f.solidTop = f.solidBottom = 50;
    f.solidLeftColor = f.solidRightColor = f.solidTopColor = f.solidBottomColor = "FF0000";

    const engine::OverlayContext ctx{m_settings, m_job, m_current, m_counters, &m_fonts};
    engine::Bitmap out = engine::applyFrame(solidPicture(300, 200, 24, 255, 255, 255), ctx, 300, 200);
    out = engine::applyWatermark(std::move(out), ctx, 300, 200);
    ASSERT_TRUE(out);
    EXPECT_EQ(pixelAt(out.get(), 59, 59).g, 255); // picture between frame and overlay
    EXPECT_EQ(pixelAt(out.get(), 60, 60).g, 0);   // the overlay starts 10 pixels inside the frame
    EXPECT_EQ(pixelAt(out.get(), 60, 60).r, 0);
    EXPECT_EQ(pixelAt(out.get(), 79, 79).r, 0);
    EXPECT_EQ(pixelAt(out.get(), 80, 80).g, 255);

    // With the frame switched off the same settings measure from the picture's edge.
    f.doFrame = 0;
    out = engine::applyWatermark(solidPicture(300, 200, 24, 255, 255, 255), ctx, 300, 200);
    ASSERT_TRUE(out);
    EXPECT_EQ(pixelAt(out.get(), 10, 10).r, 0);
    EXPECT_EQ(pixelAt(out.get(), 30, 30).r, 255);
}

TEST_F(Watermark, SwitchedOffPassesThroughUntouched)
{
    m_settings.watermark.doWatermark = 0;
    engine::Bitmap picture = solidPicture(10, 10, 8, 1, 1, 1);
    FIBITMAP* before = picture.get();
    engine::Bitmap out = run(std::move(picture));
    EXPECT_EQ(out.get(), before);
    EXPECT_EQ(FreeImage_GetBPP(out.get()), 8u);
}

} // namespace
