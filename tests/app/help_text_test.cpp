#include "cli/help_text.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(HelpText, ProgramNameIsTheExecutableWithoutFolderAndExtension)
{
    struct Case { const char* path; const char* name; };
    const Case cases[] = {
        {"/usr/bin/pixelvane", "pixelvane"}, {"pixelvane", "pixelvane"}, {"./pv", "pv"},
        {"/opt/pv/pixelvane.bin", "pixelvane"}, {"/opt/.pv", ".pv"}, {"/opt/pv/", "Pixelvane"}, {"", "Pixelvane"},
    };
    for (const Case& c : cases) EXPECT_EQ(cli::programName(c.path), c.name) << c.path;
}

TEST(HelpText, ExamplesDrawFormatsFromTheEditionLists)
{
    const std::vector<std::string> inputs{"", "nef", "cr2"};
    std::set<std::string> seen;
    for (std::uint32_t seed = 0; seed < 40; ++seed) {
        const auto lines = cli::helpLines("pv", inputs, {"", "png", "jpg"}, seed);
        ASSERT_EQ(lines.size(), 38u);
        EXPECT_EQ(lines[1], "Usage: pv -i <filename> [options]");
        for (int i : {3, 4, 5}) {
            const std::string& line = lines[i];
            const std::string ext = line.substr(line.find("example.") + 8, 3);
            EXPECT_TRUE(ext == "nef" || ext == "cr2") << line;
            seen.insert(ext);
        }
        EXPECT_EQ(lines[8], "  pv -i /tmp/ -o /tmp/converted -c png --jpg-quality=95");
    }
    EXPECT_EQ(seen.size(), 2u);   // both entries come up, the empty one never
}

} // namespace
