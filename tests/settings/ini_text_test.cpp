#include "settings/ini_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ini = settings::ini;

namespace
{

TEST(IniInteger, ReadsTheLeadingNumberOnly)
{
    struct Case {
        const char* text;
        std::int64_t expected;
    };
    const Case cases[] = {
        {"42", 42},
        {"  -7", -7},
        {"\t+5", 5},
        {"12 ; word", 12},
        {"3.9", 3},
        {"abc", 0},
        {"", 0},
        {"- 5", 0},
        {"007", 7},
        {"-0", 0},
        {"200", 200},
        {"12abc34", 12},
        {"2147483648", 2147483648LL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ini::parseInteger(c.text), c.expected);
    }
}

TEST(IniInteger, EndlessDigitsWrapInsteadOfOverflowing)
{
    // 2^64 + 5: only the low 64 bits survive, which is what the fields keep anyway.
    EXPECT_EQ(ini::parseInteger("18446744073709551621"), 5);
}

TEST(IniReal, ReadsTheLongestDecimalPrefix)
{
    struct Case {
        const char* text;
        float expected;
    };
    const Case cases[] = {
        {"1.5", 1.5f},    {"1.000000", 1.0f}, {" -2.5e1", -25.0f}, {".5", 0.5f},  {"5.", 5.0f},
        {"1e", 1.0f},     {"2e+1x", 20.0f},   {"1.5.3", 1.5f},     {"abc", 0.0f}, {"", 0.0f},
        {"+0.25", 0.25f}, {"-", 0.0f},        {"1e-999", 0.0f},    {"1,5", 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ini::parseReal(c.text), c.expected);
    }
}

TEST(IniReal, ReadsInfinitiesAndNotANumberInAnyCase)
{
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(ini::parseReal("+Infinity"), inf);
    EXPECT_EQ(ini::parseReal("-INFINITY"), -inf);
    EXPECT_TRUE(std::isnan(ini::parseReal("nan")));
    EXPECT_EQ(ini::parseReal("1e999"), inf);
    EXPECT_EQ(ini::parseReal("-1e39"), -inf);
    EXPECT_EQ(ini::parseReal("1" + std::string(60, '0')), inf);
}

TEST(IniReal, WritesSixDecimalsOrTheThreeWords)
{
    EXPECT_EQ(ini::formatReal(1.0f), "1.000000");
    EXPECT_EQ(ini::formatReal(1.5f), "1.500000");
    EXPECT_EQ(ini::formatReal(0.01f), "0.010000");
    EXPECT_EQ(ini::formatReal(-2.25f), "-2.250000");
    EXPECT_EQ(ini::formatReal(1e20f), "100000002004087734272.000000"); // never an exponent
    EXPECT_EQ(ini::formatReal(std::numeric_limits<float>::infinity()), "+Infinity");
    EXPECT_EQ(ini::formatReal(-std::numeric_limits<float>::infinity()), "-Infinity");
    EXPECT_EQ(ini::formatReal(std::numeric_limits<float>::quiet_NaN()), "NaN");
    for (const float v : {0.01f, 1.0f, 1.23f, 9.99f})
        EXPECT_EQ(ini::parseReal(ini::formatReal(v)), v);
}

TEST(IniText, DecodesByteOrderMarkUtf8AndLatin1)
{
    EXPECT_EQ(ini::decodeFileBytes("\xEF\xBB\xBF"
                                   "caf\xC3\xA9"),
              "caf\xC3\xA9");
    EXPECT_EQ(ini::decodeFileBytes("caf\xE9"), "caf\xC3\xA9");     // Latin-1 e acute
    EXPECT_EQ(ini::decodeFileBytes("\xA9 2020"), "\xC2\xA9 2020"); // Latin-1 copyright sign
    // A file from a present-day editor: UTF-8 without a mark stays as it is.
    EXPECT_EQ(ini::decodeFileBytes("caf\xC3\xA9"), "caf\xC3\xA9");
    // Broken UTF-8 (a lead byte without its continuation) is Latin-1.
    EXPECT_EQ(ini::decodeFileBytes("a\xC3"), "a\xC3\x83");
}

TEST(IniText, SingleLineTurnsLineBreaksIntoSpaces)
{
    EXPECT_EQ(ini::singleLine("a\r\nb\nc\rd\te"), "a  b c d\te");
}

TEST(IniDocument, FollowsTheHandEditingRules)
{
    const ini::Document doc = ini::Document::parse("Orphan = never read\r\n"
                                                   "[First]\n"
                                                   "\n\r\n\r\r"
                                                   "   \tIndented = yes\r\n"
                                                   "; Comment = no\n"
                                                   "  ; Indented comment = no\n"
                                                   "#Hash = is a key\n"
                                                   "NoEquals\n"
                                                   "Spaced   \t=   \tvalue with ; semicolon  \t\n"
                                                   "key=first\n"
                                                   "KEY = second\n"
                                                   "[ Spaced Name ] trailing text\n"
                                                   "A = 1\n"
                                                   "[Unclosed\n"
                                                   "B = 2\n"
                                                   "[first]\n"
                                                   "Later = ignored\n");

    EXPECT_EQ(doc.findValue("", "Orphan"), nullptr);
    const ini::Group* first = doc.findGroup("FIRST");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->name, "First");
    EXPECT_THAT(*doc.findValue("first", "indented"), "yes");
    EXPECT_EQ(doc.findValue("First", "; Comment"), nullptr);
    EXPECT_EQ(doc.findValue("First", "Comment"), nullptr);
    EXPECT_EQ(*doc.findValue("First", "#Hash"), "is a key");
    ASSERT_NE(doc.findValue("First", "NoEquals"), nullptr);
    EXPECT_EQ(*doc.findValue("First", "NoEquals"), "");
    EXPECT_EQ(*doc.findValue("First", "Spaced"), "value with ; semicolon");
    EXPECT_EQ(*doc.findValue("First", "Key"), "first");
    EXPECT_EQ(doc.findValue("First", "Later"), nullptr);   // the second [first] is not used
    EXPECT_EQ(doc.findValue("Spaced Name", "A"), nullptr); // spaces inside brackets count
    EXPECT_EQ(*doc.findValue(" Spaced Name ", "A"), "1");
    EXPECT_EQ(*doc.findValue("Unclosed", "B"), "2");
}

TEST(IniDocument, EmptyAndGarbageInputGiveNoGroups)
{
    EXPECT_TRUE(ini::Document::parse("").groups().empty());
    EXPECT_TRUE(ini::Document::parse("\r\n\r\n;only comments\r\nkey = before any group").groups().empty());
    EXPECT_TRUE(ini::Document::parse(std::string("\0\0\xFF\xFE", 4)).groups().empty());
}

} // namespace
