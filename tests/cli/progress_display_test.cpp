#include "cli/progress_display.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(ShortenMiddle, KeepsBothEndsAndWholeCharacters)
{
    EXPECT_EQ(cli::shortenMiddle("short.dng", 20), "short.dng");
    EXPECT_EQ(cli::shortenMiddle("IMG_20240101_123456.dng", 13), "IMG_2...6.dng");
    // Multi-byte characters are never cut in half: width counts characters, not bytes.
    EXPECT_EQ(cli::shortenMiddle("\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9", 5), "\u00e9...\u00e9");
    EXPECT_EQ(cli::shortenMiddle("abcdef", 2), "..");
}

TEST(ProgressLine, ShowsCountNameAndClockWithinTheWidth)
{
    using std::chrono::seconds;
    EXPECT_EQ(cli::progressLine(3, 10, "/in/a/IMG_0042.dng", seconds(67), 80), "3/10  IMG_0042.dng  1:07");
    EXPECT_EQ(cli::progressLine(0, 2, "x.dng", seconds(3725), 80), "0/2  x.dng  1:02:05");
    EXPECT_EQ(cli::progressLine(0, 2, "", seconds(0), 80), "0/2  0:00"); // before the first file
    const std::string narrow =
        cli::progressLine(12, 345, "/in/a_very_long_file_name_indeed.dng", seconds(5), 30);
    EXPECT_LE(narrow.size(), 30u);
    EXPECT_EQ(narrow.substr(0, 8), "12/345  ");
    EXPECT_EQ(narrow.substr(narrow.size() - 4), "0:05");
}

TEST(ProgressDisplay, RedrawsOnChangeAndClearsAtTheEnd)
{
    std::ostringstream out;
    {
        cli::ProgressDisplay display(out, 81);
        display.show(0, 2, "a.dng", std::chrono::seconds(0));
        display.show(0, 2, "a.dng", std::chrono::seconds(0)); // unchanged: not drawn again
        display.show(1, 2, "b.dng", std::chrono::seconds(1));
    }
    EXPECT_EQ(out.str(), "\r0/2  a.dng  0:00\033[K\r1/2  b.dng  0:01\033[K\r\033[K");
}

} // namespace
