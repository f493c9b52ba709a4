#include "platform/drawing.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <set>
#include <thread>
#include <vector>

namespace {

using platform::Canvas;
using platform::Rgba;

// Cairo stores premultiplied colour, so a colour read back at partial alpha may be off by one.
void expectNear(Rgba got, Rgba want, int colourTolerance = 1)
{
    EXPECT_NEAR(got.r, want.r, colourTolerance);
    EXPECT_NEAR(got.g, want.g, colourTolerance);
    EXPECT_NEAR(got.b, want.b, colourTolerance);
    EXPECT_EQ(got.a, want.a);
}

TEST(Canvas, StartsTransparentAndRefusesImpossibleSizes)
{
    Canvas c(4, 3);
    ASSERT_TRUE(c.valid());
    EXPECT_EQ(c.pixel(0, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(c.pixel(3, 2), (Rgba{0, 0, 0, 0}));
    EXPECT_FALSE(Canvas(0, 5).valid());
    EXPECT_FALSE(Canvas(5, -1).valid());
    EXPECT_FALSE(Canvas(40000, 2).valid());
}

TEST(Canvas, FillSetsEveryChannelAndHandsOverStraightAlpha)
{
    Canvas c(3, 2);
    c.fill(Rgba{200, 100, 50, 128});
    expectNear(c.pixel(2, 1), Rgba{200, 100, 50, 128});

    // The receiver chooses where each channel goes (FreeImage wants blue first on little-endian).
    std::array<std::uint8_t, 12> row{};
    c.copyStraightRow(0, row.data(), platform::ChannelOrder{2, 1, 0, 3});
    EXPECT_NEAR(row[2], 200, 1);
    EXPECT_NEAR(row[1], 100, 1);
    EXPECT_NEAR(row[0], 50, 1);
    EXPECT_EQ(row[3], 128);

    c.fill(Rgba{10, 20, 30, 255});
    EXPECT_EQ(c.pixel(0, 0), (Rgba{10, 20, 30, 255}));
}

TEST(Canvas, ShapesUseDrawingCoordinatesWhateverPartTheCanvasHolds)
{
    // The canvas holds pixels (100..109, 50..59) of a larger drawing.
    Canvas c(10, 10, 100, 50);
    c.fillRect(100, 50, 4, 4, Rgba{255, 0, 0, 255});
    EXPECT_EQ(c.pixel(0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(c.pixel(3, 3), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(c.pixel(4, 4), (Rgba{0, 0, 0, 0}));

    // Triangle below the diagonal of the canvas: pixels under it are filled, above it are not.
    const std::array<platform::Point, 3> tri{{{100, 50}, {110, 60}, {100, 60}}};
    c.fillPolygon(tri, Rgba{0, 0, 255, 255});
    EXPECT_EQ(c.pixel(1, 8), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(c.pixel(8, 1), (Rgba{0, 0, 0, 0}));
    // On the diagonal itself the edge is antialiased: partly covered.
    const Rgba edge = c.pixel(6, 6);
    EXPECT_GT(edge.a, 0);
    EXPECT_LT(edge.a, 255);

    Canvas aliased(10, 10);
    const std::array<platform::Point, 3> same{{{0, 0}, {10, 10}, {0, 10}}};
    aliased.fillPolygon(same, Rgba{0, 0, 255, 255}, false);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(aliased.pixel(i, i).a == 0 || aliased.pixel(i, i).a == 255);
}

TEST(Canvas, DrawingOneCanvasOnAnotherScalesItsAlpha)
{
    Canvas layer(6, 6);
    layer.fill(Rgba{0, 128, 255, 255});
    Canvas target(6, 6);
    target.drawCanvas(layer, 128);
    const Rgba p = target.pixel(3, 3);
    EXPECT_EQ(p.a, 128);
    EXPECT_NEAR(p.g, 128, 1);
    EXPECT_NEAR(p.b, 255, 1);

    // Placed by its origin: a layer for pixels (2..3, 2..3) lands there.
    Canvas part(2, 2, 2, 2);
    part.fill(Rgba{255, 255, 255, 255});
    Canvas whole(6, 6);
    whole.drawCanvas(part, 255);
    EXPECT_EQ(whole.pixel(2, 2), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(whole.pixel(1, 1).a, 0);
    EXPECT_EQ(whole.pixel(4, 4).a, 0);
}

class Text : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!m_fonts.load(1, {"Arial", 20}) || !m_fonts.load(2, {"Arial", 20, true}) ||
            !m_fonts.load(3, {"Arial", 20, false, false, true}))
            GTEST_SKIP() << "no face for Arial";
    }
    const platform::Font& regular() const { return *m_fonts.font(1); }
    const platform::Font& bold() const { return *m_fonts.font(2); }
    const platform::Font& underlined() const { return *m_fonts.font(3); }

  private:
    platform::FontRegistry m_fonts;
};

TEST_F(Text, MeasuresByFontAndText)
{
    using platform::TextRendering;
    const auto one = platform::measureText(regular(), "Pixel", TextRendering::Aliased);
    const auto two = platform::measureText(regular(), "Pixel Pixel", TextRendering::Aliased);
    EXPECT_GT(one.width, 20);
    EXPECT_GT(two.width, 2 * one.width);
    // 20 points at 96 dpi are about 27 pixels; a line is a little taller than that.
    EXPECT_GE(one.height, 26);
    EXPECT_LE(one.height, 40);
    EXPECT_GT(platform::measureText(bold(), "Pixel", TextRendering::Aliased).width, one.width);
    const auto vector = platform::measureText(regular(), "Pixel", TextRendering::Antialiased);
    EXPECT_NEAR(vector.exactWidth, one.width, 4);
    // A '%' is a glyph like any other.
    EXPECT_GT(platform::measureText(regular(), "100%", TextRendering::Aliased).width,
              platform::measureText(regular(), "100", TextRendering::Aliased).width);
}

TEST_F(Text, FontsLoadedOnOneThreadDrawOnAnother)
{
    // The run loads its font before the worker starts; the worker measures and draws with it.
    using platform::TextRendering;
    const auto here = platform::measureText(regular(), "Worker", TextRendering::Aliased);
    platform::TextExtent there;
    int inked = 0;
    std::thread worker([&] {
        there = platform::measureText(regular(), "Worker", TextRendering::Aliased);
        Canvas c(there.width, there.height);
        c.drawText(regular(), "Worker", 0, 0, Rgba{0, 0, 0, 255}, TextRendering::Aliased);
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x)
                inked += c.pixel(x, y).a == 255;
    });
    worker.join();
    EXPECT_EQ(there.width, here.width);
    EXPECT_EQ(there.height, here.height);
    EXPECT_GT(inked, 50);
}

TEST_F(Text, AliasedTextWritesExactlyTwoValues)
{
    using platform::TextRendering;
    const auto size = platform::measureText(regular(), "Wg%", TextRendering::Aliased);
    Canvas c(size.width + 4, size.height + 4);
    const Rgba back{0, 0, 0, 1};
    const Rgba fore{255, 255, 255, 200};
    c.fill(back);
    c.drawText(regular(), "Wg%", 2, 2, fore, TextRendering::Aliased, &back);
    int inked = 0;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const Rgba p = c.pixel(x, y);
            ASSERT_TRUE(p.a == back.a || p.a == fore.a) << x << "," << y << " alpha " << int(p.a);
            if (p.a == fore.a) {
                ++inked;
                expectNear(p, fore);
            }
        }
    EXPECT_GT(inked, 30);
}

TEST_F(Text, AntialiasedTextHasSoftEdgesAndUnderlineAddsInk)
{
    using platform::TextRendering;
    const auto size = platform::measureText(regular(), "Wave", TextRendering::Antialiased);
    auto inkRows = [&](const platform::Font& font, TextRendering r, std::set<int>* alphas) {
        Canvas c(size.width + 4, size.height + 4);
        c.drawText(font, "Wave", 2, 2, Rgba{255, 0, 0, 255}, r);
        std::vector<int> rows(c.height(), 0);
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x) {
                const int a = c.pixel(x, y).a;
                if (a) ++rows[y];
                if (alphas) alphas->insert(a);
            }
        return rows;
    };
    std::set<int> alphas;
    inkRows(regular(), TextRendering::Antialiased, &alphas);
    EXPECT_GT(alphas.size(), 10u);

    // "Wave" has no descenders: the underline puts ink below the lowest row of the plain text.
    const auto plain = inkRows(regular(), TextRendering::Aliased, nullptr);
    const auto under = inkRows(underlined(), TextRendering::Aliased, nullptr);
    int lowestPlain = 0;
    for (int y = 0; y < static_cast<int>(plain.size()); ++y)
        if (plain[y]) lowestPlain = y;
    int belowPlain = 0;
    for (int y = lowestPlain + 1; y < static_cast<int>(under.size()); ++y)
        belowPlain += under[y];
    EXPECT_GT(belowPlain, size.width / 2);
}

} // namespace
