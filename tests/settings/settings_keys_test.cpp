#include "settings/settings_keys.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

namespace
{

using settings::ConversionSettings;
using settings::findKey;
using settings::KeyKind;

TEST(SettingsKeys, GroupsInFileOrderAndEveryKeyOnce)
{
    EXPECT_THAT(settings::settingsGroups(),
                ::testing::ElementsAre("General", "Window", "Interface", "Input", "Output", "Transform",
                                       "Adjustment", "Frame", "Watermark", "Advanced", "File", "Privacy"));
    std::set<std::string> seen;
    for (const settings::SettingsKey& k : settings::settingsKeys()) {
        EXPECT_TRUE(seen.insert(std::string(k.group) + "/" + std::string(k.key)).second) << k.key;
        const bool perFormat =
            k.written == settings::Written::ForInputFormat || k.written == settings::Written::ForOutputFormat;
        EXPECT_EQ(perFormat, !k.format.empty()) << k.key;
    }
    EXPECT_EQ(seen.size(), 139u); // every field of the record
}

TEST(SettingsKeys, EveryAccessorReachesItsOwnField)
{
    // Writing one field through its row must change that row's value and no other.
    for (const settings::SettingsKey& k : settings::settingsKeys()) {
        SCOPED_TRACE(settings::fieldName(k));
        ConversionSettings before;
        ConversionSettings after;
        settings::setFromText(after, k, k.kind() == KeyKind::Text ? "changed" : "-77");
        for (const settings::SettingsKey& other : settings::settingsKeys()) {
            const bool same = settings::formatValue(before, other) == settings::formatValue(after, other);
            EXPECT_EQ(same, &other != &k) << other.key;
        }
    }
}

TEST(SettingsKeys, FindsNamesAsTheProgramWritesThem)
{
    ASSERT_NE(findKey("JPG Quality"), nullptr);
    EXPECT_EQ(findKey("jpg quality"), findKey("Output", "JPG Quality"));
    EXPECT_EQ(findKey("Format"), nullptr);         // occurs in Input and Output
    EXPECT_EQ(findKey("Image Rotation"), nullptr); // occurs in Transform and Watermark
    EXPECT_EQ(findKey("Input/Format")->group, "Input");
    EXPECT_EQ(findKey("Watermark/Image Rotation")->group, "Watermark");
    EXPECT_EQ(findKey("Output", "Image Rotation"), nullptr);
    EXPECT_EQ(findKey("No Such Key"), nullptr);

    EXPECT_EQ(settings::fieldName(*findKey("Transform/Image Rotation")), "Transform/Image Rotation");
    EXPECT_EQ(settings::fieldName(*findKey("Output/Format")), "Output/Format");
    EXPECT_EQ(settings::fieldName(*findKey("Image Rotation Type")), "Image Rotation Type");
    for (const settings::SettingsKey& k : settings::settingsKeys())
        EXPECT_EQ(findKey(settings::fieldName(k)), &k);
}

TEST(SettingsKeys, NumbersKeepTheLowBitsOfTheirKind)
{
    ConversionSettings s;
    const settings::SettingsKey& flag = *findKey("Do Frame");
    const settings::SettingsKey& integer = *findKey("Solid Left");
    const settings::SettingsKey& real = *findKey("Image Gamma");
    const settings::SettingsKey& text = *findKey("Font");
    ASSERT_EQ(flag.kind(), KeyKind::Flag);
    ASSERT_EQ(integer.kind(), KeyKind::Integer);
    ASSERT_EQ(real.kind(), KeyKind::Real);
    ASSERT_EQ(text.kind(), KeyKind::Text);

    struct Case {
        std::int64_t n;
        int flag;
        std::int32_t integer;
    };
    const Case cases[] = {
        {200, -56, 200}, {300, 44, 300}, {-1, -1, -1}, {256, 0, 256}, {4294967296LL + 7, 7, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        settings::setNumber(s, flag, c.n);
        settings::setNumber(s, integer, c.n);
        EXPECT_EQ(s.frame.doFrame, c.flag);
        EXPECT_EQ(s.frame.solidLeft, c.integer);
    }
    settings::setNumber(s, real, 3);
    EXPECT_EQ(s.adjustment.imageGamma, 3.0f);
    settings::setNumber(s, text, 12);
    EXPECT_EQ(s.watermark.font, "12");
    settings::setFromText(s, text, " \t spaced out \t ");
    EXPECT_EQ(s.watermark.font, "spaced out");
}

} // namespace
