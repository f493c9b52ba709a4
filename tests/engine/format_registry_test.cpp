#include "engine/format_registry.h"

#include "settings/conversion_settings.h"

#include <FreeImage.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using engine::BuildFormatRegistry;
using engine::FormatRegistry;
using ::testing::ElementsAre;

const FormatRegistry& registry()
{
    static const FormatRegistry r = BuildFormatRegistry();
    return r;
}

TEST(FormatRegistry, InputTableHoldsEveryExtensionOnceInLowerCase)
{
    const auto& inputs = registry().inputs;
    EXPECT_EQ(inputs.size(), 79u);
    std::set<std::string> extensions, formats;
    for (const auto& row : inputs) {
        SCOPED_TRACE(row.extension);
        EXPECT_TRUE(extensions.insert(row.extension).second) << "listed twice";
        EXPECT_TRUE(std::none_of(row.extension.begin(), row.extension.end(), ::isupper));
        EXPECT_FALSE(row.description.empty());
        formats.insert(row.format);
    }
    EXPECT_EQ(formats.size(), 16u);

    const auto* apm = engine::findInputExtension(registry(), "apm");
    ASSERT_NE(apm, nullptr);
    EXPECT_EQ(apm->format, "wmf");
    EXPECT_EQ(apm->description, "Aldus Placeable Metafile");
    EXPECT_EQ(engine::findInputExtension(registry(), "NEF"), nullptr);
}

TEST(FormatRegistry, OutputIdsAreFreeImageFormats)
{
    struct Case { const char* ext; FREE_IMAGE_FORMAT fif; };
    const Case cases[] = {
        {"bmp", FIF_BMP}, {"exr", FIF_EXR}, {"gif", FIF_GIF}, {"hdr", FIF_HDR}, {"ico", FIF_ICO},
        {"j2k", FIF_J2K}, {"jng", FIF_JNG}, {"jp2", FIF_JP2}, {"jpg", FIF_JPEG}, {"jxr", FIF_JXR},
        {"pbm", FIF_PBM}, {"pfm", FIF_PFM}, {"pgm", FIF_PGM}, {"png", FIF_PNG}, {"ppm", FIF_PPM},
        {"tga", FIF_TARGA}, {"tiff", FIF_TIFF}, {"wbmp", FIF_WBMP}, {"webp", FIF_WEBP}, {"xpm", FIF_XPM},
    };
    ASSERT_EQ(registry().outputs.size(), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ext);
        EXPECT_EQ(engine::outputFormatId(registry(), c.ext), static_cast<int>(c.fif));
    }
    // Formats with settings but no output row can never be chosen.
    for (const char* ext : {"dds", "pcx", "psd", "JPG", ""}) {
        SCOPED_TRACE(ext);
        EXPECT_EQ(engine::findOutputFormat(registry(), ext), nullptr);
        EXPECT_EQ(engine::outputFormatId(registry(), ext), -1);
    }
}

TEST(FormatRegistry, BitDepthListsAreAscendingAndMatchTheirText)
{
    EXPECT_EQ(engine::outputBitDepths(registry(), "jpg"), "8,24");
    EXPECT_EQ(engine::outputBitDepths(registry(), "tiff"), "1,4,8,24,32,48,96");
    EXPECT_EQ(engine::outputDescription(registry(), "webp"), "Google WebP Image Format");
    for (const auto& row : registry().outputs) {
        SCOPED_TRACE(row.extension);
        ASSERT_FALSE(row.depths.empty());
        EXPECT_TRUE(std::is_sorted(row.depths.begin(), row.depths.end()));
        std::string joined;
        for (int d : row.depths) joined += (joined.empty() ? "" : ",") + std::to_string(d);
        EXPECT_EQ(joined, row.bitDepths);
    }
}

TEST(FormatRegistry, AcceptsOnlyTheLowerCaseExtensionsOfTheEditionFormats)
{
    const auto& accepted = registry().acceptedInputExtensions;
    EXPECT_EQ(accepted.size(), 48u);
    for (const auto& ext : accepted) {
        const auto* row = engine::findInputExtension(registry(), ext);
        ASSERT_NE(row, nullptr) << ext;
        EXPECT_EQ(row->format, settings::InputFormatList().front()) << ext;
    }
    // The caller lower-cases first: "Photo.NEF" is accepted as "nef", never as "NEF".
    EXPECT_TRUE(engine::isAcceptedInput(registry(), "nef"));
    EXPECT_FALSE(engine::isAcceptedInput(registry(), "NEF"));
    for (const char* ext : {"raw", "3fr", "cine", "x3f", "rwl"}) EXPECT_TRUE(engine::isAcceptedInput(registry(), ext)) << ext;
    // jpg is a known input format, but not one this edition offers.
    for (const char* ext : {"jpg", "tif", "png", "", "ne", "nef "}) EXPECT_FALSE(engine::isAcceptedInput(registry(), ext)) << ext;
}

TEST(FormatRegistry, AcceptedListFollowsTheInputFormatList)
{
    FormatRegistry r = BuildFormatRegistry();
    engine::rebuildAcceptedExtensions(r, {"", "jpg", "tga"});
    EXPECT_THAT(r.acceptedInputExtensions, ElementsAre("jpg", "jpeg", "jpe", "jif", "tga", "targa"));
    EXPECT_TRUE(engine::isAcceptedInput(r, "jpeg"));
    EXPECT_FALSE(engine::isAcceptedInput(r, "nef"));

    engine::rebuildAcceptedExtensions(r, {});
    EXPECT_TRUE(r.acceptedInputExtensions.empty());
}

TEST(FormatRegistry, AutomaticDepthTakesFirstAllowedDepthAtLeastTheSource)
{
    struct Case { const char* ext; int source; int expected; };
    const Case cases[] = {
        {"jpg", 48, 24}, {"jpg", 8, 8}, {"jpg", 1, 8}, {"jpg", 24, 24},
        {"png", 24, 24}, {"png", 16, 24}, {"png", 96, 48},
        {"tiff", 48, 48}, {"bmp", 96, 32}, {"gif", 24, 8}, {"exr", 8, 96},
        {"dds", 24, 24},   // no output row: the source depth stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ext) + " from " + std::to_string(c.source));
        EXPECT_EQ(engine::automaticBitDepth(registry(), c.ext, c.source), c.expected);
    }
}

TEST(FormatRegistry, OutputChoicesOfThisEditionAreOneJpgEntry)
{
    const auto choices = engine::outputChoices(registry(), settings::OutputFormatList());
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].extension, "jpg");
    EXPECT_EQ(choices[0].text, "JPG (JPEG File Format)");
    EXPECT_EQ(engine::selectedOutputChoice(choices, "jpg"), 0u);
    EXPECT_EQ(engine::outputChoiceText(registry(), "jpg", false), "JPG");

    const auto wider = engine::outputChoices(registry(), {"jpg", "", "png", "tiff"});
    ASSERT_EQ(wider.size(), 3u);
    EXPECT_EQ(wider[2].text, "TIFF (Tagged Image File Format)");
    EXPECT_EQ(engine::selectedOutputChoice(wider, "tiff"), 2u);
    EXPECT_EQ(engine::selectedOutputChoice(wider, "gif"), 0u);   // not offered: the first is selected
    EXPECT_EQ(engine::selectedOutputChoice({}, "jpg"), 0u);

    EXPECT_THAT(engine::inputChoices({"raw", "", "tiff"}), ElementsAre("RAW", "TIFF"));
}

} // namespace
