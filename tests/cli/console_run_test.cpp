// Runs the built program as a user would and compares everything it prints, line by line.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/cli_program_runner.h"
#include "support/engine_dng_fixture.h"

namespace {

namespace fs = std::filesystem;
using clitest::ProgramRun;
using clitest::runProgram;
using clitest::TempFolder;
using clitest::Lines;
using clitest::filesBelow;
using clitest::withHeading;

void writeDng(const fs::path& path)
{
    fs::create_directories(path.parent_path());
    fixtures::TestDngOptions dng;
    dng.width = 48;
    dng.height = 32;
    ASSERT_TRUE(fixtures::writeTestDng(path.string(), dng)) << path;
}

TEST(ConsoleRun, PlainFolderRunConvertsEveryFile)
{
    TempFolder dir;
    writeDng(dir.path() / "in" / "a.dng");
    writeDng(dir.path() / "in" / "b.DNG");
    fs::create_directories(dir.path() / "out");

    const ProgramRun run = runProgram({"-i", "in", "-o", "out"}, dir.path());
    EXPECT_EQ(run.lines, withHeading({"Preparing...", "Importing...", "Import complete, new files added: 2",
                                      "Converting...", "Conversion complete", "Files converted: 2 of 2"}));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(filesBelow(dir.path() / "out"), (Lines{"a.jpg", "b.jpg"}));
    EXPECT_EQ(run.errors, ""); // not a terminal: no progress display
}

TEST(ConsoleRun, QuietRunPrintsNothing)
{
    TempFolder dir;
    writeDng(dir.path() / "in" / "a.dng");

    // Without -o the output goes next to the input file.
    const ProgramRun run = runProgram({"--quiet", "--input=in/a.dng"}, dir.path());
    EXPECT_EQ(run.lines, Lines{});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(filesBelow(dir.path() / "in"), (Lines{"a.dng", "a.jpg"}));
}

TEST(ConsoleRun, DebugRunEchoesTheEffectiveSettings)
{
    TempFolder dir;
    writeDng(dir.path() / "in" / "a.dng");
    fs::create_directories(dir.path() / "out");
    const std::string in = dir / "in/";
    const std::string out = dir / "out/";

    const ProgramRun run = runProgram({"-d",
                                       "-i",
                                       "in",
                                       "--output=out",
                                       "-c",
                                       "jpg",
                                       "--jpg-quality=80",
                                       "--jpg-chroma=high",
                                       "--jpg-save-as=progressive",
                                       "--raw-tone-mapping=linear",
                                       "--rotation=90",
                                       "--rotation-back-color=FF8000",
                                       "--width=50",
                                       "--width-unit=percent",
                                       "--height=40",
                                       "--keep-aspect-ratio",
                                       "--resize-algorithm=lanczos",
                                       "--flip-vertical",
                                       "--brightness=10",
                                       "--gamma=1.5",
                                       "--greyscale",
                                       "--threshold=128",
                                       "--fr-solid-left=3",
                                       "--fr-solid-top-color=00ff00",
                                       "--filename-mask=%filename%_x.%ext%",
                                       "--file-timestamp=custom",
                                       "--file-timestamp-custom=1700000000",
                                       "--no-subfolders"},
                                      dir.path());
    EXPECT_EQ(run.lines, withHeading({"Preparing...",
                                      "Input: in",
                                      "Output: out",
                                      "Conversion: jpg",
                                      "RAW Load As: AUTO",
                                      "RAW Header Size: 0",
                                      "RAW Image Width: 0",
                                      "RAW Image Height: 0",
                                      "RAW Tone Mapping: LINEAR",
                                      "JPG BPP: 0",
                                      "JPG Quality: 80",
                                      "JPG Chroma Subsampling: HIGH",
                                      "JPG Save As: PROGRESSIVE",
                                      "Image Rotation Type: SIMPLE",
                                      "Image Rotation: 90",
                                      "Image Rotation Back Color: FF8000",
                                      "Width: 50 PERCENT",
                                      "Height: 40 PIXELS",
                                      "Keep Aspect Ratio: 1",
                                      "Image Resize Type: ALLIMAGES",
                                      "Image Resize Algorithm: LANCZOS",
                                      "Flip Horizontal: 0",
                                      "Flip Vertical: 1",
                                      "Brightness: 10",
                                      "Contrast: 0",
                                      "Gamma: 1.50",
                                      "Invert: 0",
                                      "Greyscale: 1",
                                      "Image Threshold: 128",
                                      "Frame: SOLID",
                                      "Frame left: 3",
                                      "Frame right: 0",
                                      "Frame top: 0",
                                      "Frame bottom: 0",
                                      "Frame left color: 000000",
                                      "Frame right color: 000000",
                                      "Frame top color: 00ff00",
                                      "Frame bottom color: 000000",
                                      "Frame opacity: 255",
                                      "Watermark: NONE",
                                      "Filename Mask: %filename%_x.%ext%",
                                      "File Timestamp: CUSTOM",
                                      "Custom Timestamp: 1700000000",
                                      "Keep Subfolders: 0",
                                      "Importing...",
                                      "Import complete, new files added: 1",
                                      "Converting...",
                                      "Processing: " + in + "a.dng",
                                      "Saving As: " + out + "a_x.jpg",
                                      "OK",
                                      "Conversion complete",
                                      "Files converted: 1 of 1"}));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(fs::exists(dir.path() / "out" / "a_x.jpg"));
}

TEST(ConsoleRun, DebugEchoOfTheWatermarks)
{
    TempFolder dir;
    clitest::writeFile(dir.path() / "in" / "a.dng", "not really a picture");
    clitest::writeFile(dir.path() / "logo.png", "x");

    const Lines common = {"Input: in/a.dng",
                          "Output: in/",
                          "Conversion: jpg",
                          "RAW Load As: AUTO",
                          "RAW Header Size: 0",
                          "RAW Image Width: 0",
                          "RAW Image Height: 0",
                          "RAW Tone Mapping: AL",
                          "JPG BPP: 0",
                          "JPG Quality: 95",
                          "JPG Chroma Subsampling: NONE",
                          "JPG Save As: STANDARD",
                          "Flip Horizontal: 0",
                          "Flip Vertical: 0",
                          "Greyscale: 0",
                          "Frame: NONE"};
    {
        // A face that cannot be had: the whole text echo first, then the refusal.
        const ProgramRun run =
            runProgram({"-q", "-d", "-i", "in/a.dng", "--wm-text=Hello %n%", "--wm-font=No Such Face",
                        "--wm-font-style=bolditalic", "--wm-text-position=topcenter", "--wm-text-x-offset=-5",
                        "--wm-text-antialiasing"},
                       dir.path());
        Lines expected = common;
        expected.insert(expected.end(), {"Watermark: TEXT",
                                         "Watermark text: Hello %n%",
                                         "Watermark font: No Such Face",
                                         "Watermark font size: 14",
                                         "Watermark font leading: 0",
                                         "Watermark font color: FFFFFF",
                                         "Watermark font style: BOLDITALIC",
                                         "Watermark font effect: NONE",
                                         "Watermark text antialiasing: 1",
                                         "Watermark text alignment: LEFT",
                                         "Watermark text padding: 0",
                                         "Watermark text opacity: 255",
                                         "Watermark background color: 000000",
                                         "Watermark background opacity: 1",
                                         "Watermark boundary: IMAGE",
                                         "Watermark position: TOPCENTER",
                                         "Watermark offset (x/y): -5/10",
                                         "Watermark rotation: 0",
                                         "Watermark size/mode: FIXED",
                                         "Error: Invalid watermark font"});
        EXPECT_EQ(run.lines, expected);
        EXPECT_EQ(run.status, 1);
    }
    {
        // The image watermark; the file does not convert (it is no picture), which ends the run.
        const ProgramRun run = runProgram({"-q", "-d", "-i", "in/a.dng", "--wm-image=logo.png",
                                           "--wm-image-rotation=45", "--wm-image-greyscale"},
                                          dir.path());
        Lines expected = common;
        expected.insert(expected.end(),
                        {"Watermark: IMAGE", "Watermark image: logo.png", "Watermark greyscale: 1",
                         "Watermark opacity: 255", "Watermark boundary: IMAGE",
                         "Watermark position: BOTTOMRIGHT", "Watermark offset (x/y): 10/10",
                         "Watermark rotation: 45", "Watermark size/mode: FIXED",
                         "Filename Mask: %filename%.%ext%", "File Timestamp: CURRENT", "Keep Subfolders: 1",
                         "Processing: in/a.dng", "Saving As: ", "Not OK", "Conversion stopped"});
        EXPECT_EQ(run.lines, expected);
        EXPECT_EQ(run.status, 1);
    }
}

TEST(ConsoleRun, ListFileInput)
{
    TempFolder dir;
    writeDng(dir.path() / "in" / "a.dng");
    writeDng(dir.path() / "more" / "deep" / "b.dng");
    fs::create_directories(dir.path() / "out");
    clitest::writeFile(dir.path() / "in" / "list.TXT", (dir / "in/a.dng") + "\r\n  " + (dir / "more") +
                                                           "  \n" + (dir / "missing.dng") + "\n");

    const ProgramRun run = runProgram({"-i", "in/list.TXT", "-o", "out"}, dir.path());
    EXPECT_EQ(run.lines, withHeading({"Preparing...", "Importing...", "Import complete, new files added: 2",
                                      "Converting...", "Conversion complete", "Files converted: 2 of 2"}));
    EXPECT_EQ(run.status, 0);
    // A list import gives no sub-folders: both land in the output folder itself.
    EXPECT_EQ(filesBelow(dir.path() / "out"), (Lines{"a.jpg", "b.jpg"}));
}

TEST(ConsoleRun, NestedFoldersWithAndWithoutSubfolders)
{
    TempFolder dir;
    writeDng(dir.path() / "in" / "a.dng");
    writeDng(dir.path() / "in" / "sub" / "b.dng");
    writeDng(dir.path() / "in" / "sub" / "deeper" / "c.dng");
    clitest::writeFile(dir.path() / "in" / "notes.txt", "not a picture");
    fs::create_directories(dir.path() / "kept");
    fs::create_directories(dir.path() / "flat");
    const Lines expected = withHeading({"Preparing...", "Importing...", "Import complete, new files added: 3",
                                        "Converting...", "Conversion complete", "Files converted: 3 of 3"});

    const ProgramRun kept = runProgram({"-i", "in", "-o", dir / "kept"}, dir.path());
    EXPECT_EQ(kept.lines, expected);
    EXPECT_EQ(kept.status, 0);
    EXPECT_EQ(filesBelow(dir.path() / "kept"), (Lines{"a.jpg", "sub/b.jpg", "sub/deeper/c.jpg"}));

    const ProgramRun flat = runProgram({"-i", "in", "-o", "flat/", "--no-subfolders"}, dir.path());
    EXPECT_EQ(flat.lines, expected);
    EXPECT_EQ(flat.status, 0);
    EXPECT_EQ(filesBelow(dir.path() / "flat"), (Lines{"a.jpg", "b.jpg", "c.jpg"}));
}

TEST(ConsoleRun, SomeFilesFailing)
{
    TempFolder dir;
    writeDng(dir.path() / "in" / "good.dng");
    clitest::writeFile(dir.path() / "in" / "broken.dng", "this is not a raw file at all");

    const ProgramRun run = runProgram({"-i", "in"}, dir.path());
    EXPECT_EQ(run.lines, withHeading({"Preparing...", "Importing...", "Import complete, new files added: 2",
                                      "Converting...", "Conversion complete", "Files converted: 1 of 2"}));
    EXPECT_EQ(run.status, 2);

    fs::remove(dir.path() / "in" / "good.dng");
    const ProgramRun none = runProgram({"-i", "in/broken.dng"}, dir.path());
    EXPECT_EQ(none.lines, withHeading({"Preparing...", "Importing...", "Import complete, new files added: 1",
                                       "Converting...", "Conversion stopped"}));
    EXPECT_EQ(none.status, 1);
}

} // namespace
