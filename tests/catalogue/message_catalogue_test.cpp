#include "catalogue/message_catalogue.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>

namespace {

using catalogue::BuildCatalogue;
using catalogue::FormatText;
using catalogue::kNoStringError;
using catalogue::Lookup;
using catalogue::MessageCatalogue;

const MessageCatalogue& builtIn()
{
    static const MessageCatalogue c = BuildCatalogue();
    return c;
}

std::string lowerCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string upperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

TEST(MessageCatalogue, HoldsTheGroupsOfTheBuiltInTableInOrder)
{
    const std::pair<const char*, std::size_t> expected[] = {
        {"MENU", 28}, {"GENERAL", 10}, {"MSG", 41}, {"DIALOG", 16}, {"PREFERENCES", 214},
        {"ABOUT", 4}, {"CUSTOM-CONVERTER", 4}, {"UNINSTALL", 3},
    };
    const auto& groups = builtIn().groups;
    ASSERT_EQ(groups.size(), std::size(expected));
    for (std::size_t i = 0; i < groups.size(); ++i) {
        EXPECT_EQ(groups[i].name, expected[i].first);
        EXPECT_EQ(groups[i].entries.size(), expected[i].second) << groups[i].name;
    }
    EXPECT_EQ(catalogue::builtInTable().back().first, "_END_");
}

TEST(MessageCatalogue, FindsEveryBuiltInEntryInAnyLetterCase)
{
    // Texts as the table gives them; a repeated key must carry the same text both times.
    std::string group;
    std::map<std::pair<std::string, std::string>, std::string> seen;
    for (const auto& row : catalogue::builtInTable()) {
        if (row.first == "_END_") break;
        if (row.first == "_GROUP_") {
            group = row.second;
            continue;
        }
        const std::string key(row.first);
        auto [it, inserted] = seen.emplace(std::pair{group, key}, std::string(row.second));
        EXPECT_EQ(it->second, row.second) << group << "/" << key << " repeated with another text";

        EXPECT_EQ(Lookup(builtIn(), group, key), row.second) << group << "/" << key;
        EXPECT_EQ(Lookup(builtIn(), lowerCase(group), lowerCase(key)), row.second) << group << "/" << key;
        EXPECT_EQ(Lookup(builtIn(), upperCase(group), upperCase(key)), row.second) << group << "/" << key;
    }
    EXPECT_EQ(seen.size(), 319u);   // 320 entries, "Medium" twice in Preferences
}

TEST(MessageCatalogue, LooksUpWithoutRegardToCase)
{
    EXPECT_EQ(Lookup(builtIn(), "menu", "exit"), "Exit");
    EXPECT_EQ(Lookup(builtIn(), "MSG", "ASK BREAK CONVERSION"), "Do you want to break the conversion?");
    EXPECT_EQ(Lookup(builtIn(), "custom-converter", "tItLe"), "Find a File Converter");
}

TEST(MessageCatalogue, MissingGroupOrKeyGivesTheErrorText)
{
    struct Case { const char* group; const char* key; };
    const Case cases[] = {
        {"Msg", "Exit"},            // the key lives in another group
        {"Nowhere", "Exit"},
        {"", "Exit"},
        {"Menu", ""},
        {"Menu", "Exit "},
        {"Menu", "Exi"},            // a prefix of a key is not that key
        {"Menu", "Exits"},
        {"Men", "Exit"},
        {"_GROUP_", "Menu"},
        {"Preferences", "Medium\x01Medium"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.group) + "/" + c.key);
        EXPECT_EQ(Lookup(builtIn(), c.group, c.key), kNoStringError);
    }
}

TEST(MessageCatalogue, ConsecutiveLookupsMayChangeGroup)
{
    // The same key in four groups, asked for in turn and back again.
    EXPECT_EQ(Lookup(builtIn(), "Preferences", "Title"), "Preferences...");
    EXPECT_EQ(Lookup(builtIn(), "About", "Title"), "About...");
    EXPECT_EQ(Lookup(builtIn(), "Nowhere", "Title"), kNoStringError);
    EXPECT_EQ(Lookup(builtIn(), "Custom-Converter", "Title"), "Find a File Converter");
    EXPECT_EQ(Lookup(builtIn(), "Uninstall", "Title"), "Uninstall");
    EXPECT_EQ(Lookup(builtIn(), "Preferences", "Title"), "Preferences...");
    EXPECT_EQ(Lookup(builtIn(), "Menu", "Convert"), "Convert");
    EXPECT_EQ(Lookup(builtIn(), "General", "Convert"), "Convert");
}

TEST(MessageCatalogue, KeysThatArePrefixesOfOtherKeysFindTheirOwnText)
{
    struct Case { const char* group; const char* key; const char* text; };
    const Case cases[] = {
        {"Preferences", "Image", "Image:"},
        {"Preferences", "Image Width", "Image Width:"},
        {"Preferences", "Image Gamma", "Gamma Correction:"},
        {"Preferences", "Csv", "CSV"},
        {"Preferences", "Csv Export", "Export to CSV"},
        {"Preferences", "Csv Delimiter", "CSV Delimiter:"},
        {"Preferences", "Text", "Text:"},
        {"Preferences", "Text Padding", "Text Padding:"},
        {"Preferences", "RGB", "RGB"},
        {"Preferences", "RGB48", "RGB 48-bit"},
        {"Preferences", "RGB48HS", "RGB 48-bit (HS)"},
        {"Preferences", "Medium", "Medium"},   // listed twice
        {"Menu", "Select Input File", "Add Input File..."},
        {"Menu", "Select Input Files", "Add Input Files..."},
        {"Msg", "Warning", "Warning"},
        {"Msg", "Empty input files", "No input file(s) found. Please, add valid file(s) and try again!"},
        {"Msg", "Invalid output folder",
         "The following output folder is invalid or doesn't exist:\r\n%s1%\r\n\r\nPlease, correct the output path and try again!"},
        {"Msg", "Ask continue to find", "No matches of %s1% found!\r\n\r\nDo you want to search from the start of the list?"},
        {"Dialog", "Import Input Files", "Import Input Files From A List"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.group) + "/" + c.key);
        EXPECT_EQ(Lookup(builtIn(), c.group, c.key), c.text);
    }
}

TEST(MessageCatalogue, BuildsAnyTableOfTheSameForm)
{
    const catalogue::CatalogueRow table[] = {
        {"Orphan", "before any group"},
        {"_GROUP_", "Empty"},
        {"_GROUP_", "b"},
        {"zz", "last"},
        {"a", "first"},
        {"_END_", ""},
        {"after", "the end"},
    };
    const MessageCatalogue c = BuildCatalogue(table);
    ASSERT_EQ(c.groups.size(), 2u);
    EXPECT_TRUE(c.groups[0].entries.empty());
    EXPECT_EQ(Lookup(c, "empty", "a"), kNoStringError);
    EXPECT_EQ(Lookup(c, "B", "A"), "first");
    EXPECT_EQ(Lookup(c, "b", "ZZ"), "last");
    EXPECT_EQ(Lookup(c, "b", "after"), kNoStringError);
    EXPECT_EQ(Lookup(c, "b", "Orphan"), kNoStringError);
    EXPECT_TRUE(BuildCatalogue({}).groups.empty());
    EXPECT_EQ(Lookup(BuildCatalogue({}), "Menu", "Exit"), kNoStringError);
}

TEST(FormatText, FillsPlaceholdersInTurn)
{
    struct Case { const char* text; const char* v1; const char* v2; const char* v3; const char* v4; const char* expected; };
    const Case cases[] = {
        {"Files converted: %s1% of %s2%", "3", "5", "", "", "Files converted: 3 of 5"},
        {"Files converted: %s1% of %s2%", "3", "", "", "", "Files converted: 3 of %s2%"},
        {"", "3", "5", "7", "9", ""},
        {"(%s1%/%s2%)", "", "", "", "", "(%s1%/%s2%)"},
        {"%S1% and %s1%", "x", "", "", "", "x and x"},          // any letter case, every occurrence
        {"%s1%", "%s2%", "two", "", "", "two"},                 // a later value fills what an earlier brought in
        {"%s2%", "one", "%s1%", "", "", "%s1%"},                // ... but not the other way round
        {"%s1%", "%s1%", "", "", "", "%s1%"},                   // a value is never scanned again
        {"%s4%%s3%%s2%%s1%", "a", "b", "c", "d", "dcba"},
        {"%s5% %s% %s1", "a", "b", "c", "d", "%s5% %s% %s1"},
        {"100%s1%%", "50", "", "", "", "10050%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatText(c.text, c.v1, c.v2, c.v3, c.v4), c.expected);
    }
    EXPECT_EQ(FormatText(Lookup(builtIn(), "Msg", "Unable to open file"), "/tmp/a.nef"), "Unable to open the file: /tmp/a.nef!");
}

} // namespace
