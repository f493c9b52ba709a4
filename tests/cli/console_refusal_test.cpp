// Runs the built program with jobs it must refuse and compares everything it prints.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/cli_program_runner.h"

namespace {

namespace fs = std::filesystem;
using clitest::ProgramRun;
using clitest::runProgram;
using clitest::TempFolder;
using clitest::Lines;
using clitest::filesBelow;
using clitest::withHeading;

// Each case also breaks every later check, so only the first failure in the order of checking
// may be reported; nothing is written in any of them.
struct RefusalCase {
    std::vector<std::string> arguments;
    std::string error;
};

TEST(ConsoleRefusal, RefusalsInTheirOrder)
{
    TempFolder dir;
    clitest::writeFile(dir.path() / "in" / "a.dng", "raw bytes");
    clitest::writeFile(dir.path() / "in" / "empty.dng", "");
    fs::create_directories(dir.path() / "out");
    fs::create_directories(dir.path() / "folder.2020");
    const std::vector<std::string> allLaterFailures = {
        "--jpg-bpp=16", "--jpg-quality=0",  "--width=0",
        "--height=0",   "--brightness=101", "--contrast=-101",
        "--gamma=10",   "--wm-text=x",      "--wm-font=No Such Face"};
    const auto args = [&](std::initializer_list<std::string> first, std::size_t skipLater) {
        std::vector<std::string> a(first);
        a.insert(a.end(), allLaterFailures.begin() + static_cast<std::ptrdiff_t>(skipLater),
                 allLaterFailures.end());
        return a;
    };
    const RefusalCase cases[] = {
        {args({"-i", "in/missing.dng", "-o", "../out", "-c", "JPG"}, 0), "Error: Invalid input file"},
        {args({"-i", "in/empty.dng", "-o", "../out"}, 0), "Error: Invalid input file"},
        {args({"-i", "folder.2020", "-o", "../out"}, 0), "Error: Invalid input file"},
        {args({"-i", "../in", "-o", "nowhere", "-c", "JPG"}, 0), "Error: Incorrect input folder"},
        {args({"-i", "nowhere", "-o", "../out", "-c", "JPG"}, 0), "Error: Invalid input folder"},
        {args({"-i", "in/a.dng", "-o", "../out", "-c", "JPG"}, 0), "Error: Incorrect output folder"},
        {args({"-i", "in", "-o", "./nowhere", "-c", "JPG"}, 0), "Error: Invalid output folder"},
        {args({"-i", "./in", "-o", "out", "-c", "JPG"}, 0), "Error: Invalid conversion type"},
        {args({"-i", "in/a.dng", "-o", "out"}, 0), "Error: Invalid jpg-bpp value"},
        {args({"-i", "in/a.dng", "-o", "out", "--jpg-bpp=24"}, 1), "Error: Invalid jpg-quality value"},
        {args({"-i", "in/a.dng", "-o", "out", "--jpg-quality=101"}, 2), "Error: Invalid jpg-quality value"},
        {args({"-i", "in/a.dng", "-o", "out"}, 2), "Error: Invalid width value"},
        {args({"-i", "in/a.dng", "-o", "out", "--width=-10"}, 3), "Error: Invalid height value"},
        {args({"-i", "in/a.dng", "-o", "out", "--width=1", "--height=1"}, 4),
         "Error: Invalid brightness value"},
        {args({"-i", "in/a.dng", "-o", "out"}, 5), "Error: Invalid contrast value"},
        {args({"-i", "in/a.dng", "-o", "out"}, 6), "Error: Invalid gamma value"},
        {args({"-i", "in/a.dng", "-o", "out", "--gamma=0.009"}, 7), "Error: Invalid gamma value"},
        {args({"-i", "in/a.dng", "-o", "out"}, 7), "Error: Invalid watermark font"},
        {{"-i", "in/a.dng", "-o", "out", "--wm-text=x", "--wm-image=missing.png"},
         "Error: Invalid watermark image"},
        {{"-i", "in/a.dng", "-o", "out", "--wm-image=in/empty.dng"}, "Error: Invalid watermark image"},
    };
    for (const RefusalCase& c : cases) {
        std::string trace;
        for (const std::string& a : c.arguments)
            trace += a + " ";
        SCOPED_TRACE(trace);
        const ProgramRun run = runProgram(c.arguments, dir.path());
        EXPECT_EQ(run.lines, withHeading({"Preparing...", c.error}));
        EXPECT_EQ(run.status, 1);
    }
    EXPECT_EQ(filesBelow(dir.path() / "out"), Lines{});
    EXPECT_EQ(filesBelow(dir.path() / "in"), (Lines{"a.dng", "empty.dng"}));
}

TEST(ConsoleRefusal, GammaAtItsLimitsPassesTheChecks)
{
    TempFolder dir;
    clitest::writeFile(dir.path() / "in" / "list.lst", "missing.dng\n"); // names nothing that exists
    for (const char* gamma : {"--gamma=0.01", "--gamma=9.99"}) {
        SCOPED_TRACE(gamma);
        const ProgramRun run = runProgram({"-q", "-i", "in/list.lst", gamma}, dir.path());
        EXPECT_EQ(run.lines, (Lines{"Conversion stopped",
                                    "No input file(s) found. Please, add valid file(s) and try again!"}));
        EXPECT_EQ(run.status, 1);
    }
}

TEST(ConsoleRefusal, OptionErrorEndsBeforeAnyHeading)
{
    TempFolder dir;
    const ProgramRun run = runProgram({"-i", "in", "--jpg-quality", "-p"}, dir.path());
    EXPECT_EQ(run.lines, (Lines{"Error: Incorrect number of parameters"}));
    EXPECT_EQ(run.status, 1);

    const ProgramRun profile = runProgram({"--profile=missing.ini", "-i", "in"}, dir.path());
    EXPECT_EQ(profile.lines, (Lines{"Error: Invalid profile file"}));
    EXPECT_EQ(profile.status, 1);
}

TEST(ConsoleRefusal, VersionHelpAndPause)
{
    TempFolder dir;
    const ProgramRun version = runProgram({"-v", "-i", "in"}, dir.path());
    EXPECT_EQ(version.lines, (Lines{"2.8"}));
    EXPECT_EQ(version.status, 0);

    const ProgramRun help = runProgram({"--HELP"}, dir.path());
    ASSERT_GE(help.lines.size(), 4u);
    EXPECT_EQ(help.lines[0], " ");
    EXPECT_EQ(help.lines[1], "Usage: pixelvane -i <filename> [options]");
    EXPECT_EQ(help.lines.back(), "  -v, --version             Display version information and exit");
    EXPECT_EQ(help.status, 0);

    // Standard input is empty, so its end stands for the key.
    const ProgramRun paused = runProgram({"-i", "nowhere", "-p"}, dir.path());
    EXPECT_EQ(paused.lines,
              withHeading({"Preparing...", "Error: Invalid input folder", "Press any key to exit."}));
    EXPECT_EQ(paused.status, 1);
}

TEST(ConsoleRefusal, FileOfAnotherKindImportsNothing)
{
    TempFolder dir;
    clitest::writeFile(dir.path() / "photo.jpg", "jpeg bytes");
    const Lines stopped = {"Conversion stopped",
                           "No input file(s) found. Please, add valid file(s) and try again!"};

    const ProgramRun run = runProgram({"-i", "photo.jpg"}, dir.path());
    Lines expected = withHeading({"Preparing...", "Importing...", "Import complete, new files added: 0"});
    expected.insert(expected.end(), stopped.begin(), stopped.end());
    EXPECT_EQ(run.lines, expected);
    EXPECT_EQ(run.status, 1);

    // Quiet and debug together: the debug echo and the two closing lines, no heading or status.
    const ProgramRun quietDebug =
        runProgram({"-i", "photo.jpg", "-q", "-d", "--jpg-quality=101"}, dir.path());
    EXPECT_EQ(quietDebug.lines.front(), "Input: photo.jpg");
    EXPECT_EQ(quietDebug.lines.back(), "Error: Invalid jpg-quality value");
    const ProgramRun quietDebugRun = runProgram({"-i", "photo.jpg", "-q", "-d"}, dir.path());
    ASSERT_GE(quietDebugRun.lines.size(), 3u);
    EXPECT_EQ(quietDebugRun.lines.front(), "Input: photo.jpg");
    EXPECT_EQ(quietDebugRun.lines[1], "Output: ");
    EXPECT_EQ(Lines(quietDebugRun.lines.end() - 3, quietDebugRun.lines.end()),
              (Lines{"Keep Subfolders: 1", stopped[0], stopped[1]}));
    EXPECT_EQ(quietDebugRun.status, 1);
}

} // namespace
