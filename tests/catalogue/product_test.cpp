#include "catalogue/icon_registries.h"
#include "catalogue/product.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(VersionText, WritesMajorMinorAndANonZeroPatch)
{
    struct Case { int version; const char* text; };
    const Case cases[] = {{280, "2.8"}, {281, "2.8.1"}, {290, "2.9"}, {300, "3.0"}, {309, "3.0.9"}, {100, "1.0"}};
    for (const Case& c : cases) EXPECT_EQ(catalogue::VersionText(c.version), c.text) << c.version;
    EXPECT_EQ(catalogue::VersionText(), "2.8");
    EXPECT_EQ(catalogue::AppTitle(), "Pixelvane 2.8");
    EXPECT_EQ(catalogue::AppTitle(281), "Pixelvane 2.8.1");
}

TEST(IconRegistries, NumberEveryIconOnceAndPairMenuWithToolbar)
{
    const catalogue::IconRegistries r = catalogue::BuildIconRegistries();
    EXPECT_EQ(r.ButtonImages.size(), 3u);
    EXPECT_EQ(r.MenuIcons.size(), 22u);
    EXPECT_EQ(r.ToolbarIcons.size(), 22u);

    struct Case { const catalogue::IconRegistry* registry; const char* name; int number; };
    const Case cases[] = {
        {&r.ButtonImages, "Convert", 2}, {&r.ButtonImages, "InFiles", 3}, {&r.ButtonImages, "InFolder", 4},
        {&r.MenuIcons, "New", 5},        {&r.MenuIcons, "Convert", 18},   {&r.MenuIcons, "Help", 22},
        {&r.MenuIcons, "Email", 25},     {&r.MenuIcons, "About", 28},     {&r.ToolbarIcons, "New", 29},
        {&r.ToolbarIcons, "Help", 46},   {&r.ToolbarIcons, "Email", 49},  {&r.ToolbarIcons, "About", 52},
        {&r.MenuIcons, "Missing", -1},   {&r.MenuIcons, "new", -1},       {&r.ButtonImages, "New", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(catalogue::imageNumber(*c.registry, c.name), c.number) << c.name;

    // Every image number from 2 to 52 names at most one icon; 0 is the About banner.
    std::set<int> numbers{catalogue::kAboutBannerImage};
    for (const auto* registry : {&r.ButtonImages, &r.MenuIcons, &r.ToolbarIcons}) {
        for (const auto& [name, number] : *registry) {
            EXPECT_TRUE(numbers.insert(number).second) << name << " " << number;
            EXPECT_GE(number, 2);
            EXPECT_LE(number, 52);
        }
    }
    for (const auto& [name, number] : r.MenuIcons) EXPECT_EQ(r.ToolbarIcons.at(name), number + 24) << name;
}

} // namespace
