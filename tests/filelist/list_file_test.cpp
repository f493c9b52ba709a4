#include "filelist/list_file.h"

#include "support/filelist_fixtures.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace fs = std::filesystem;
using filelist_fixtures::readBytes;
using filelist_fixtures::TempFolder;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

constexpr std::string_view kMark = "\xEF\xBB\xBF";

using filelist_fixtures::Lists;

TEST(ListFile, ExportThenImportRestoresThePathsInOrder)
{
    TempFolder tmp;
    // Names chosen so that neither name order nor creation order gives the list order.
    const std::vector<std::string> rows = {tmp.file("b/zeta.cr2"), tmp.file("a/ALPHA.NEF"), tmp.file("c/mid dle.dng"),
                                           tmp.file("b/Ünïcode ✓.arw")};
    const std::string list = tmp / "list.txt";

    Lists out;
    EXPECT_EQ(filelist::exportList(list, rows, out.progress), 4);
    EXPECT_EQ(out.progress.convertedCount, 4);
    EXPECT_EQ(out.progress.currentIndex, 4);

    std::string expected(kMark);
    for (const std::string& r : rows)
        expected += r + "\r\n";
    EXPECT_EQ(readBytes(list), expected) << "mark, then every row ended by CR LF, the last included";

    Lists in;
    EXPECT_EQ(filelist::importList(in.ctx, list, in.progress), 4);
    EXPECT_THAT(in.files.paths(), ElementsAreArray(rows));
    EXPECT_EQ(in.progress.currentIndex, 4);
    EXPECT_EQ(in.progress.convertedCount, 4);
    EXPECT_EQ(fs::file_size(list), expected.size()) << "importing leaves the list alone";
}

TEST(ListFile, ImportReadsEveryLineEndingAndByteOrderMark)
{
    TempFolder tmp;
    const std::string a = tmp.file("a.cr2");
    const std::string b = tmp.file("b.cr2");
    const std::string c = tmp.file("c.cr2");
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"CR LF", a + "\r\n" + b + "\r\n" + c + "\r\n"},
        {"LF", a + "\n" + b + "\n" + c + "\n"},
        {"CR", a + "\r" + b + "\r" + c + "\r"},
        {"mixed", a + "\r\n" + b + "\r" + c + "\n"},
        {"last line without ending", a + "\n" + b + "\n" + c},
        {"last line without ending, CR", a + "\r" + b + "\r" + c},
        {"UTF-8 mark", std::string(kMark) + a + "\r\n" + b + "\r\n" + c},
        {"blank lines and spaces", "\r\n\n   \n  " + a + "   \r\n\r\n" + b + "\n \n" + c + " "},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.name);
        const std::string list = tmp.write("list.txt", cs.text);
        Lists l;
        EXPECT_EQ(filelist::importList(l.ctx, list, l.progress), 3);
        EXPECT_THAT(l.files.paths(), ElementsAre(a, b, c));
        EXPECT_EQ(l.progress.currentIndex, 3) << "only lines naming something are counted";
    }
}

TEST(ListFile, SkipsLinesNamingNothingAndCountsOnlyAddedFiles)
{
    TempFolder tmp;
    const std::string good = tmp.file("good.cr2");
    const std::string jpeg = tmp.file("photo.jpg");
    const std::string list = tmp.write("list.lst", good + "\t\n"            // a tab stays part of the path
                                                       + "\t" + good + "\n" // on either side
                                                       + tmp / "missing.cr2" + "\n" //
                                                       + jpeg + "\n"          // exists, refused by extension
                                                       + good + "\n"          // added
                                                       + good + "\n");        // exists, already there
    Lists l;
    EXPECT_EQ(filelist::importList(l.ctx, list, l.progress), 1);
    EXPECT_THAT(l.files.paths(), ElementsAre(good));
    EXPECT_EQ(l.progress.currentIndex, 3) << "the JPEG line and both lines naming good.cr2";
    EXPECT_EQ(l.progress.convertedCount, 1);
}

TEST(ListFile, AFolderLineImportsItsWholeTree)
{
    TempFolder tmp;
    tmp.file("shots/a.cr2");
    tmp.file("shots/one/b.nef");
    tmp.file("shots/one/two/c.dng");
    tmp.file("shots/one/two/three/d.arw");
    tmp.file("shots/one/two/three/readme.txt");
    const std::string single = tmp.file("single.cr2");
    std::string folder = tmp / "shots"; // without its slash
    const std::string list = tmp.write("list.txt", folder + "\n" + single + "\n");

    Lists l;
    l.job.inputFolder = tmp / "shots/one/"; // the last folder import decides the sub-folders
    EXPECT_EQ(filelist::importList(l.ctx, list, l.progress), 5);
    EXPECT_THAT(l.files.paths(), ElementsAre(folder + "/a.cr2", folder + "/one/b.nef", folder + "/one/two/c.dng",
                                             folder + "/one/two/three/d.arw", single));
    EXPECT_EQ(l.files.find(folder + "/one/two/c.dng")->subfolder, "two/");
    EXPECT_EQ(l.files.find(single)->subfolder, "");
    EXPECT_EQ(l.progress.currentIndex, 2) << "one per line, not per file";
}

TEST(ListFile, AUtf16ListImportsNothingAndScansNoFolder)
{
    TempFolder tmp;
    const std::string photo = tmp.file("photo.cr2");
    tmp.file("root-marker.cr2");
    auto utf16 = [](std::string_view mark, const std::string& text, bool bigEndian) {
        std::string out(mark);
        for (const char ch : text) {
            out += bigEndian ? std::string{'\0', ch} : std::string{ch, '\0'};
        }
        return out;
    };
    // Read as UTF-8, each line starts with the folder's first byte and then a NUL: a system call
    // would see "/" and a careless import would scan the whole disk.
    const std::string text = photo + "\r\n" + tmp.path() + "\r\n";
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "UTF-16 BE" : "UTF-16 LE");
        const std::string list = tmp.write("unicode.txt", utf16(bigEndian ? "\xFE\xFF" : "\xFF\xFE", text, bigEndian));
        Lists l;
        EXPECT_EQ(filelist::importList(l.ctx, list, l.progress), 0);
        EXPECT_THAT(l.files.paths(), IsEmpty());
        EXPECT_EQ(l.progress.currentIndex, 0);
    }
}

TEST(ListFile, ImportStopsBetweenLines)
{
    TempFolder tmp;
    const std::string a = tmp.file("a.cr2");
    const std::string b = tmp.file("b.cr2");
    const std::string c = tmp.file("c.cr2");
    const std::string list = tmp.write("list.txt", a + "\n" + b + "\n" + c + "\n");

    Lists l;
    l.files.desktopHook = [&](const std::string& path) {
        if (path == b) {
            std::lock_guard guard(l.progress.lock);
            l.progress.running = false;
        }
    };
    EXPECT_EQ(filelist::importList(l.ctx, list, l.progress), 2);
    EXPECT_THAT(l.files.paths(), ElementsAre(a, b)) << "entries added before the stop stay";
    EXPECT_EQ(l.progress.convertedCount, 2);
}

TEST(ListFile, ImportOfAMissingListAddsNothing)
{
    TempFolder tmp;
    for (const std::string& list : {tmp / "none.txt", tmp.folder("dir.txt"), std::string()}) {
        Lists l;
        l.progress.convertedCount = 3;
        EXPECT_EQ(filelist::importList(l.ctx, list, l.progress), 0) << list;
        EXPECT_EQ(l.progress.convertedCount, 3);
    }
}

TEST(ListFile, ImportRunsOnAThreadOfTheCallers)
{
    TempFolder tmp;
    const std::string list = tmp.write("list.txt", tmp.file("a.cr2") + "\n" + tmp.file("b.cr2"));
    Lists l;
    l.job.inputFile = list;
    std::thread worker([&] { filelist::importList(l.ctx, l.job.inputFile, l.progress); });
    worker.join();
    std::lock_guard guard(l.progress.lock);
    EXPECT_EQ(l.progress.convertedCount, 2);
}

TEST(ListExport, StoppedBeforeTheFirstRowLeavesOnlyTheMark)
{
    TempFolder tmp;
    const std::string list = tmp.write("list.txt", "old content\r\n");
    Lists l;
    l.progress.running = false;
    const std::vector<std::string> rows = {"/a.cr2", "/b.cr2"};
    EXPECT_EQ(filelist::exportList(list, rows, l.progress), 0);
    EXPECT_EQ(readBytes(list), kMark);
    EXPECT_EQ(l.progress.currentIndex, 0);
}

TEST(ListExport, SkipsRowsThatCannotBeALine)
{
    TempFolder tmp;
    const std::string list = tmp / "list.txt";
    const std::vector<std::string> rows = {"/a.cr2", "/new\nline.cr2", "/carriage\rreturn.cr2", std::string("/nul\0.cr2", 9),
                                           "/ spaces and\ttabs .cr2"};
    Lists l;
    EXPECT_EQ(filelist::exportList(list, rows, l.progress), 2);
    EXPECT_EQ(readBytes(list), std::string(kMark) + "/a.cr2\r\n/ spaces and\ttabs .cr2\r\n");
    EXPECT_EQ(l.progress.currentIndex, 5) << "every row was taken";
    EXPECT_EQ(l.progress.convertedCount, 2);
}

TEST(ListExport, ReplacesAnExistingListAndLeavesNoTemporaryFile)
{
    TempFolder tmp;
    const std::string list = tmp.write("list.txt", std::string(1000, 'x'));
    Lists l;
    const std::vector<std::string> rows = {"/only.cr2"};
    EXPECT_EQ(filelist::exportList(list, rows, l.progress), 1);
    EXPECT_EQ(readBytes(list), std::string(kMark) + "/only.cr2\r\n");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(tmp.path()))
        names.push_back(e.path().filename().string());
    EXPECT_THAT(names, ElementsAre("list.txt"));
}

TEST(ListExport, AListThatCannotBeCreatedExportsNothing)
{
    TempFolder tmp;
    Lists l;
    l.progress.convertedCount = 7;
    const std::vector<std::string> rows = {"/a.cr2"};
    EXPECT_EQ(filelist::exportList(tmp / "no/such/folder/list.txt", rows, l.progress), 0);
    EXPECT_EQ(filelist::exportList(tmp.folder("a-folder"), rows, l.progress), 0);
    EXPECT_EQ(l.progress.convertedCount, 7);
    EXPECT_TRUE(fs::is_directory(tmp / "a-folder"));
}

TEST(ListLines, CountsLineFeedsPlusOne)
{
    TempFolder tmp;
    EXPECT_EQ(filelist::countListLines(tmp.write("empty.txt", "")), 1);
    EXPECT_EQ(filelist::countListLines(tmp.write("two.txt", "a\r\nb")), 2);
    EXPECT_EQ(filelist::countListLines(tmp.write("ended.txt", "a\r\nb\r\n")), 3);
    EXPECT_EQ(filelist::countListLines(tmp.write("cr.txt", "a\rb\r")), 1) << "counts LF bytes only";
    EXPECT_EQ(filelist::countListLines(tmp.write("big.txt", std::string(200000, '\n'))), 200001);
    EXPECT_EQ(filelist::countListLines(tmp / "missing.txt"), 0);
}

} // namespace
