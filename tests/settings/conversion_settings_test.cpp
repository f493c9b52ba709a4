#include "settings/conversion_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using settings::ConversionSettings;
using settings::FormatColor;
using settings::ParseColor;
using settings::Rgb;

TEST(ParseColor, ReadsSixHexDigitsRedFirst)
{
    struct Case { const char* text; Rgb expected; };
    const Case cases[] = {
        {"FF8000", {255, 128, 0}},
        {"ff8000", {255, 128, 0}},          // lower case reads the same
        {"aBcDeF", {0xAB, 0xCD, 0xEF}},
        {"000000", {0, 0, 0}},
        {"FF800", {}},                      // five characters: black
        {"FF80000", {}},                    // seven characters: black
        {"", {}},
        {"GGHHZZ", {}},                     // no hex digit at all: black
        {"FZ80ZF", {15, 128, 0}},           // digit then non-digit keeps the digit; non-digit first reads 0
        {"0x1234", {0, 0x12, 0x34}},
        {" 1 2 3", {0, 0, 0}},              // a leading space stops the pair
        {"1 2 3 ", {1, 2, 3}},
        {"\u00A9F1234", {0, 0x12, 0x34}},    // six characters in seven bytes; a non-digit starts the red pair
        {"A\u00A9000", {}},                 // five characters, although six bytes: black
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Rgb got = ParseColor(c.text);
        EXPECT_EQ(got.r, c.expected.r);
        EXPECT_EQ(got.g, c.expected.g);
        EXPECT_EQ(got.b, c.expected.b);
    }
}

TEST(FormatColor, WritesUpperCasePaddedPairsAndRoundTrips)
{
    EXPECT_EQ(FormatColor({255, 128, 0}), "FF8000");
    EXPECT_EQ(FormatColor({1, 2, 10}), "01020A");
    EXPECT_EQ(FormatColor({0, 0, 0}), "000000");
    for (int v = 0; v < 256; ++v) {
        const auto b = static_cast<std::uint8_t>(v);
        const Rgb c{b, static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(v * 7)};
        ASSERT_EQ(ParseColor(FormatColor(c)), c) << v;
    }
}

ConversionSettings defaults(bool commandLine, settings::DesktopSize desktop = {1920, 1080})
{
    ConversionSettings s;
    settings::ResetToDefaults(s, commandLine, desktop);
    return s;
}

TEST(ResetToDefaults, DesktopDefaultsAreTheDocumentedOnes)
{
    const ConversionSettings s = defaults(false);
    EXPECT_EQ(s.general.cfg, 17);
    EXPECT_EQ(s.input.format, settings::InputFormatList().front());
    EXPECT_EQ(s.output.format, settings::OutputFormatList().front());
    EXPECT_EQ(s.input.format, "raw");
    EXPECT_EQ(s.output.format, "jpg");
    EXPECT_EQ(s.transform.keepAspectRatio, 1);
    EXPECT_EQ(s.output.jpgQuality, 95);
    EXPECT_EQ(s.input.rawToneMapping, 2);
    EXPECT_EQ(s.transform.imageResizeAlgorithm, 3);
    EXPECT_EQ(s.watermark.textPosition, 8);
    EXPECT_EQ(s.watermark.backOpacity, 1);
    EXPECT_EQ(s.watermark.backColors, s.watermark.fontColors);
    EXPECT_EQ(s.advanced.filenameMask, "%filename%.%ext%");
    EXPECT_EQ(s.adjustment.doImageColorCorrection, 0);
    // The watermark text is one line naming the maker.
    EXPECT_NE(s.watermark.text.find("\u00A9"), std::string::npos);
    EXPECT_EQ(s.watermark.text.find_first_of("\r\n"), std::string::npos);
    // Both dates are "now" in local time.
    EXPECT_LE(std::abs(s.general.updateDate - settings::localTimeNow()), 5);
    EXPECT_EQ(s.advanced.customTimestamp, s.general.updateDate);
}

TEST(ResetToDefaults, VariantsDifferOnlyInKeepAspectRatio)
{
    ConversionSettings desktop = defaults(false);
    ConversionSettings console = defaults(true);
    EXPECT_EQ(desktop.transform.keepAspectRatio, 1);
    EXPECT_EQ(console.transform.keepAspectRatio, 0);

    // The two resets may fall into different seconds.
    console.general.updateDate = desktop.general.updateDate;
    console.advanced.customTimestamp = desktop.advanced.customTimestamp;
    console.transform.keepAspectRatio = 1;
    EXPECT_EQ(console, desktop);
}

TEST(ResetToDefaults, OverwritesEveryChangedFieldButKeepsTheSettingsPath)
{
    ConversionSettings s = defaults(false);
    const ConversionSettings fresh = s;
    s.settingsPath = "/home/ann/.config/Vorndale/pxvconv/config.ini";
    s.output.jpgQuality = 10;
    s.watermark.text = "mine";
    s.file.recentOutFolders = "/tmp/a/\t/tmp/b/";
    s.adjustment.imageGamma = 2.5f;
    s.frame.solidOpacity = 3;

    settings::ResetToDefaults(s, false, {1920, 1080});
    EXPECT_EQ(s.settingsPath, "/home/ann/.config/Vorndale/pxvconv/config.ini");
    s.settingsPath.clear();
    s.general.updateDate = fresh.general.updateDate;
    s.advanced.customTimestamp = fresh.advanced.customTimestamp;
    EXPECT_EQ(s, fresh);
}

TEST(ResetToDefaults, CentresTheWindowOnlyOnADesktopLargerThanIt)
{
    struct Case { settings::DesktopSize desktop; int x, y; };
    const Case cases[] = {
        {{1920, 1080}, 705, 375},
        {{1366, 768}, 428, 219},
        {{511, 331}, 0, 0},        // one pixel larger: (1 / 2) is 0
        {{512, 333}, 1, 1},
        {{510, 330}, 100, 100},    // no larger than the window: 100
        {{320, 240}, 100, 100},
        {{0, 0}, 100, 100},        // console: no desktop
        {{1920, 200}, 705, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.desktop.width) + "x" + std::to_string(c.desktop.height));
        const ConversionSettings s = defaults(false, c.desktop);
        EXPECT_EQ(s.window.x, c.x);
        EXPECT_EQ(s.window.y, c.y);
        EXPECT_EQ(s.window.width, 510);
        EXPECT_EQ(s.window.height, 330);
    }
}

TEST(UpdateColorCorrectionFlag, SetOnlyWhenAnAdjustmentIsNotNeutral)
{
    struct Case { const char* name; int brightness, contrast; float gamma; int invert; int expected; };
    const Case cases[] = {
        {"neutral", 0, 0, 1.0f, 0, 0},
        {"gamma of 100 hundredths", 0, 0, 100 / 100.0f, 0, 0},
        {"brightness", 1, 0, 1.0f, 0, 1},
        {"negative brightness", -100, 0, 1.0f, 0, 1},
        {"contrast", 0, -1, 1.0f, 0, 1},
        {"gamma", 0, 0, 101 / 100.0f, 0, 1},
        {"gamma below one", 0, 0, 99 / 100.0f, 0, 1},
        {"invert", 0, 0, 1.0f, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConversionSettings s = defaults(false);
        s.adjustment.doImageColorCorrection = c.expected ? 0 : 1;   // stale value must be replaced
        s.adjustment.imageBrightness = c.brightness;
        s.adjustment.imageContrast = c.contrast;
        s.adjustment.imageGamma = c.gamma;
        s.adjustment.imageInvert = static_cast<settings::Flag>(c.invert);
        settings::UpdateColorCorrectionFlag(s);
        EXPECT_EQ(s.adjustment.doImageColorCorrection, c.expected);
    }
}

TEST(EditionLists, OfferRawInAndJpgOut)
{
    EXPECT_EQ(settings::InputFormatList(), std::vector<std::string>{"raw"});
    EXPECT_EQ(settings::OutputFormatList(), std::vector<std::string>{"jpg"});
}

} // namespace
