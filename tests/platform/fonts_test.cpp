#include "platform/fonts.h"

#include <gtest/gtest.h>

namespace
{

TEST(FontCheck, AcceptsFacesAndTheirConfiguredAliasesOnly)
{
    if (!platform::isFontLoadable("Liberation Sans"))
        GTEST_SKIP() << "fonts-liberation is not installed";
    // Arial is served by its metric-compatible stand-in; letter case does not matter.
    EXPECT_TRUE(platform::isFontLoadable("Arial"));
    EXPECT_TRUE(platform::isFontLoadable("arial"));
    EXPECT_TRUE(platform::isFontLoadable("Times New Roman"));
    // A name that would only fall back to the default face is refused.
    EXPECT_FALSE(platform::isFontLoadable("No Such Face Pixelvane"));
    EXPECT_FALSE(platform::isFontLoadable(""));
}

TEST(FontRegistry, SlotsHoldLoadFreeAndRefuse)
{
    if (!platform::isFontLoadable("Arial"))
        GTEST_SKIP() << "no face for Arial";
    platform::FontRegistry fonts;
    EXPECT_FALSE(fonts.isLoaded(platform::kWatermarkFontSlot));
    EXPECT_EQ(fonts.font(platform::kWatermarkFontSlot), nullptr);

    ASSERT_TRUE(fonts.load(platform::kWatermarkFontSlot, {"Arial", 14, true, false, true, false}));
    EXPECT_TRUE(fonts.isLoaded(platform::kWatermarkFontSlot));
    EXPECT_FALSE(fonts.isLoaded(1));
    ASSERT_NE(fonts.font(platform::kWatermarkFontSlot), nullptr);
    EXPECT_TRUE(fonts.font(platform::kWatermarkFontSlot)->request().bold);

    // A failed load leaves the slot empty rather than holding the previous font.
    EXPECT_FALSE(fonts.load(platform::kWatermarkFontSlot, {"No Such Face Pixelvane", 14}));
    EXPECT_FALSE(fonts.isLoaded(platform::kWatermarkFontSlot));
    EXPECT_FALSE(fonts.load(3, {"Arial", 0}));
    EXPECT_FALSE(fonts.load(3, {"Arial", -5}));

    ASSERT_TRUE(fonts.load(3, {"Arial", 10}));
    fonts.free(3);
    fonts.free(3);
    EXPECT_FALSE(fonts.isLoaded(3));
}

} // namespace
