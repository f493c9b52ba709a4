#include "engine/frame.h"
#include "engine/overlays.h"

#include "support/overlays_pictures.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace
{

using overlays_test::pixelAt;
using overlays_test::solidPicture;

struct FrameRun {
    settings::ConversionSettings settings;
    engine::ConversionJob job;
    engine::CurrentImage current;
    engine::NamingCounters counters;

    FrameRun()
    {
        settings::ResetToDefaults(settings, true);
        settings.frame.doFrame = 1;
    }
    void widths(int l, int r, int t, int b)
    {
        settings.frame.solidLeft = l;
        settings.frame.solidRight = r;
        settings.frame.solidTop = t;
        settings.frame.solidBottom = b;
    }
    engine::Bitmap run(engine::Bitmap picture)
    {
        const int w = static_cast<int>(FreeImage_GetWidth(picture.get()));
        const int h = static_cast<int>(FreeImage_GetHeight(picture.get()));
        return engine::applyFrame(std::move(picture), {settings, job, current, counters}, w, h);
    }
};

#define EXPECT_RGB(bmp, x, y, R, G, B)                                                                       \
    do {                                                                                                     \
        const auto p_ = pixelAt(bmp, x, y);                                                                  \
        EXPECT_EQ(p_.r, R) << "at " << (x) << "," << (y);                                                    \
        EXPECT_EQ(p_.g, G) << "at " << (x) << "," << (y);                                                    \
        EXPECT_EQ(p_.b, B) << "at " << (x) << "," << (y);                                                    \
    } while (0)

TEST(Frame, BlackBorderInsideThePictureKeepingItsSize)
{
    FrameRun f;
    f.widths(20, 20, 20, 20);
    engine::Bitmap out = f.run(solidPicture(600, 400, 24, 255, 255, 255));
    ASSERT_TRUE(out);
    EXPECT_EQ(FreeImage_GetWidth(out.get()), 600u);
    EXPECT_EQ(FreeImage_GetHeight(out.get()), 400u);
    EXPECT_EQ(FreeImage_GetBPP(out.get()), 24u);
    // Band edges lie on whole pixels, so the border is exact: 20 black pixels on each side.
    for (auto [x, y] : {std::pair{0, 0},
                        {19, 19},
                        {300, 0},
                        {300, 19},
                        {599, 399},
                        {580, 200},
                        {0, 200},
                        {19, 380},
                        {300, 399},
                        {599, 0},
                        {0, 399},
                        {10, 390}})
        EXPECT_RGB(out.get(), x, y, 0, 0, 0);
    for (auto [x, y] : {std::pair{20, 20}, {300, 20}, {300, 200}, {579, 379}, {20, 379}, {579, 20}})
        EXPECT_RGB(out.get(), x, y, 255, 255, 255);
}

TEST(Frame, CornersSplitAlongTheirDiagonalBetweenTheAdjoiningColours)
{
    FrameRun f;
    f.widths(40, 30, 40, 30);
    f.settings.frame.solidTopColor = "FF0000";
    f.settings.frame.solidLeftColor = "0000FF";
    f.settings.frame.solidRightColor = "00FF00";
    f.settings.frame.solidBottomColor = "FFFF00";
    engine::Bitmap out = f.run(solidPicture(200, 100, 24, 255, 255, 255));
    ASSERT_TRUE(out);
    // Top-left: the top colour above and right of the diagonal (0,0)-(40,40), the left colour below.
    EXPECT_RGB(out.get(), 30, 5, 255, 0, 0);
    EXPECT_RGB(out.get(), 5, 30, 0, 0, 255);
    // Top-right: top colour above its diagonal, right colour below.
    EXPECT_RGB(out.get(), 175, 3, 255, 0, 0);
    EXPECT_RGB(out.get(), 197, 35, 0, 255, 0);
    // Bottom-right and bottom-left.
    EXPECT_RGB(out.get(), 197, 75, 0, 255, 0);
    EXPECT_RGB(out.get(), 175, 97, 255, 255, 0);
    EXPECT_RGB(out.get(), 25, 97, 255, 255, 0);
    EXPECT_RGB(out.get(), 3, 65, 0, 0, 255);
    // Mid-band pixels are plain.
    EXPECT_RGB(out.get(), 100, 10, 255, 0, 0);
    EXPECT_RGB(out.get(), 100, 85, 255, 255, 0);
    EXPECT_RGB(out.get(), 10, 50, 0, 0, 255);
    EXPECT_RGB(out.get(), 185, 50, 0, 255, 0);
    // On the diagonal both colours meet, smoothly; no white shows through the seam.
    const auto seam = pixelAt(out.get(), 20, 20);
    EXPECT_EQ(seam.g, 0);
    EXPECT_EQ(seam.r + seam.b, 255);
}

TEST(Frame, OpacityLetsThePictureShowThrough)
{
    FrameRun f;
    f.widths(10, 10, 10, 10);
    f.settings.frame.solidOpacity = 128;
    engine::Bitmap out = f.run(solidPicture(60, 40, 24, 255, 255, 255));
    ASSERT_TRUE(out);
    // Black at 128/255 over white: about half (rounding in two places).
    for (auto [x, y] : {std::pair{5, 5}, {30, 2}, {57, 20}, {30, 37}, {2, 20}}) {
        const auto p = pixelAt(out.get(), x, y);
        EXPECT_NEAR(p.r, 127, 2) << x << "," << y;
        EXPECT_EQ(p.r, p.g);
    }
    EXPECT_RGB(out.get(), 30, 20, 255, 255, 255);
}

TEST(Frame, AnyFrameCodeMakesTwentyFourBitsEvenWhenNothingIsDrawn)
{
    struct Case {
        int doFrame, bpp, widths;
    };
    for (const Case c : {Case{1, 8, 0}, Case{1, 32, 0}, Case{2, 8, 20}, Case{1, 24, 0}}) {
        SCOPED_TRACE(testing::Message() << "Do Frame " << c.doFrame << ", " << c.bpp << " bits");
        FrameRun f;
        f.settings.frame.doFrame = static_cast<settings::Flag>(c.doFrame);
        f.widths(c.widths, c.widths, c.widths, c.widths);
        engine::Bitmap out = f.run(solidPicture(50, 40, c.bpp, 90, 90, 90));
        ASSERT_TRUE(out);
        EXPECT_EQ(FreeImage_GetBPP(out.get()), 24u);
        EXPECT_RGB(out.get(), 0, 0, 90, 90, 90);
        EXPECT_RGB(out.get(), 49, 39, 90, 90, 90);
    }
}

TEST(Frame, SwitchedOffOrGivenNothingPassesThrough)
{
    FrameRun f;
    f.settings.frame.doFrame = 0;
    f.widths(5, 5, 5, 5);
    engine::Bitmap picture = solidPicture(30, 20, 8, 7, 7, 7);
    FIBITMAP* before = picture.get();
    engine::Bitmap out = f.run(std::move(picture));
    EXPECT_EQ(out.get(), before);
    EXPECT_EQ(FreeImage_GetBPP(out.get()), 8u);

    f.settings.frame.doFrame = 1;
    EXPECT_FALSE(engine::applyFrame({}, {f.settings, f.job, f.current, f.counters}, 30, 20));
}

TEST(Frame, BandsWiderThanThePictureDrawWithoutError)
{
    FrameRun f;
    for (auto [l, r, t, b] :
         {std::array{400, 400, 10, 10}, {10, 10, 300, 300}, {1000, 0, 0, 1000}, {-5, 3, -7, 3}}) {
        SCOPED_TRACE(testing::Message() << l << " " << r << " " << t << " " << b);
        f.widths(l, r, t, b);
        engine::Bitmap out = f.run(solidPicture(600, 400, 24, 255, 255, 255));
        ASSERT_TRUE(out);
        EXPECT_EQ(FreeImage_GetWidth(out.get()), 600u);
        EXPECT_EQ(FreeImage_GetHeight(out.get()), 400u);
    }
}

TEST(FrameRegions, CoverEveryFramePixelOnceInBoundedPieces)
{
    struct Case {
        int w, h, l, r, t, b;
    };
    for (const Case c :
         {Case{600, 400, 20, 20, 20, 20}, Case{600, 400, 0, 0, 0, 0}, Case{600, 400, 400, 400, 10, 10},
          Case{100, 80, 0, 30, 50, 50}, Case{9000, 600, 50, 3000, 20, 20}, Case{50, 50, -4, 3, 2, -9}}) {
        SCOPED_TRACE(testing::Message()
                     << c.w << "x" << c.h << " " << c.l << " " << c.r << " " << c.t << " " << c.b);
        settings::FrameSettings f;
        f.solidLeft = c.l;
        f.solidRight = c.r;
        f.solidTop = c.t;
        f.solidBottom = c.b;
        const auto regions = engine::frameRegions(f, c.w, c.h);
        auto inFrame = [&](int x, int y) { return y < c.t || y >= c.h - c.b || x < c.l || x >= c.w - c.r; };
        std::vector<std::uint8_t> hits(static_cast<std::size_t>(c.w) * c.h, 0);
        for (const auto& r : regions) {
            ASSERT_GT(r.width, 0);
            ASSERT_GT(r.height, 0);
            ASSERT_LE(static_cast<long long>(r.width) * r.height, 1LL << 22);
            ASSERT_GE(r.x, 0);
            ASSERT_GE(r.y, 0);
            ASSERT_LE(r.x + r.width, c.w);
            ASSERT_LE(r.y + r.height, c.h);
            for (int y = r.y; y < r.y + r.height; ++y)
                for (int x = r.x; x < r.x + r.width; ++x)
                    ++hits[static_cast<std::size_t>(y) * c.w + x];
        }
        int wrong = 0;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                wrong += hits[static_cast<std::size_t>(y) * c.w + x] != (inFrame(x, y) ? 1 : 0);
        EXPECT_EQ(wrong, 0);
    }
}

} // namespace
