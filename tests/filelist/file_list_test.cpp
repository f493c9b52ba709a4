#include "filelist/file_list.h"

#include "support/filelist_fixtures.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include <unistd.h>

namespace fs = std::filesystem;
using filelist_fixtures::TempFolder;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using filelist_fixtures::Lists;

TEST(FileListSet, KeepsInsertionOrderAndIndexThroughRemovals)
{
    filelist::FileList files;
    for (const char* p : {"/a/1.cr2", "/a/2.cr2", "/a/3.cr2", "/a/4.cr2", "/a/5.cr2"})
        EXPECT_TRUE(files.insert(p, ""));
    EXPECT_FALSE(files.insert("/a/3.cr2", "x/")) << "a key is stored once";
    EXPECT_TRUE(files.insert("/a/3.CR2", "")) << "keys are case-sensitive";

    EXPECT_TRUE(files.remove("/a/2.cr2"));
    EXPECT_FALSE(files.remove("/a/2.cr2"));
    EXPECT_EQ(files.removeAll({"/a/4.cr2", "/missing", "/a/1.cr2"}), 2u);
    EXPECT_THAT(files.paths(), ElementsAre("/a/3.cr2", "/a/5.cr2", "/a/3.CR2"));

    // The index must still point at the moved entries.
    for (const std::string& p : files.paths()) {
        ASSERT_NE(files.find(p), nullptr) << p;
        EXPECT_EQ(files.find(p)->path, p);
    }
    EXPECT_TRUE(files.insert("/a/2.cr2", "")) << "a removed key can come back";
    EXPECT_EQ(files.entries().back().path, "/a/2.cr2");

    files.clear();
    EXPECT_TRUE(files.empty());
    EXPECT_FALSE(files.contains("/a/3.cr2"));
}

TEST(AddFile, RefusesWhatCannotBeConverted)
{
    TempFolder tmp;
    Lists l;
    struct Case {
        std::string path;
        bool added;
        const char* why;
    };
    const Case cases[] = {
        {tmp.file("photo.cr2"), true, "plain RAW file"},
        {tmp.file("PHOTO2.CR2"), true, "upper-case extension is lower-cased before the test"},
        {tmp.file("Mixed.NeF"), true, "mixed case"},
        {tmp.file("empty.cr2", 0), false, "zero-length file"},
        {tmp.file("picture.jpg"), false, "a known input format, but not one this build accepts"},
        {tmp.file("scan.RW2"), true, "every RAW extension of the registry"},
        {tmp.file("noextension"), false, "no extension at all"},
        {tmp.file("archive.cr2.txt"), false, "only the last extension counts"},
        {tmp.file(".hidden.dng"), true, "hidden files are judged like others"},
        {tmp / "missing.cr2", false, "path that does not exist"},
        {tmp.folder("folder.cr2"), false, "folder with trailing slash: no extension"},
        {tmp / "folder.cr2", false, "folder named like a RAW file"},
        {tmp / "photo.cr2", false, "already in the list"},
        {"", false, "empty path"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(filelist::addFile(l.ctx, c.path), c.added) << c.path;
    }
    EXPECT_THAT(l.files.paths(),
                ElementsAre(tmp / "photo.cr2", tmp / "PHOTO2.CR2", tmp / "Mixed.NeF", tmp / "scan.RW2", tmp / ".hidden.dng"));
}

TEST(AddFile, CallsTheDesktopHookOnlyForStoredEntries)
{
    TempFolder tmp;
    Lists l;
    std::vector<std::string> rows;
    l.files.desktopHook = [&](const std::string& p) { rows.push_back(p); };
    const std::string a = tmp.file("a.cr2");
    EXPECT_TRUE(filelist::addFile(l.ctx, a));
    EXPECT_FALSE(filelist::addFile(l.ctx, a));
    EXPECT_FALSE(filelist::addFile(l.ctx, tmp.file("b.cr2", 0)));
    EXPECT_THAT(rows, ElementsAre(a));
}

TEST(AddFile, FollowsALinkToAFileButNotABrokenOne)
{
    TempFolder tmp;
    Lists l;
    const std::string target = tmp.file("real.cr2");
    fs::create_symlink(target, tmp / "link.cr2");
    fs::create_symlink(tmp / "gone.cr2", tmp / "broken.cr2");
    EXPECT_TRUE(filelist::addFile(l.ctx, tmp / "link.cr2"));
    EXPECT_FALSE(filelist::addFile(l.ctx, tmp / "broken.cr2"));
}

TEST(Subfolder, IsTheFoldersPathBelowTheBase)
{
    struct Case {
        const char* path;
        const char* base;
        const char* subfolder;
    };
    const Case cases[] = {
        {"/in/a/b/x.cr2", "/in/", "a/b/"},
        {"/in/x.cr2", "/in/", ""},
        {"/other/z.cr2", "/in/", ""},
        {"/in/a/x.cr2", "", ""},
        {"x.cr2", "/in/", ""},
        {"/in/a/x.cr2", "/in", "a/"},                // base without its slash
        {"/input/a/x.cr2", "/in", ""},               // a longer name is not below the base
        {"/In/a/x.cr2", "/in/", ""},                 // case-sensitive
        {"/data/in/a/x.cr2", "/in/", ""},            // the base in the middle is not the root
        {"/in/a/in/b/x.cr2", "/in/", "a/in/b/"},     // the base's text again further down stays
        {"/in/a//b/x.cr2", "/in/", "a/b/"},          // doubled slashes collapse
        {"/in/../etc/x.cr2", "/in/", ""},            // never climbs out of the output folder
        {"/in/a/./x.cr2", "/in/", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(filelist::subfolderOf(c.path, c.base), c.subfolder) << c.path << " below " << c.base;
}

TEST(Extension, IsTheTextAfterTheLastDotOfTheName)
{
    EXPECT_EQ(filelist::extensionOf("/a/b.c/photo.CR2"), "CR2");
    EXPECT_EQ(filelist::extensionOf("/a/b.c/photo"), "");
    EXPECT_EQ(filelist::extensionOf("/a/b.c/"), "");
    EXPECT_EQ(filelist::extensionOf("photo."), "");
    EXPECT_EQ(filelist::extensionOf(".nef"), "nef");
}

// root/           a.cr2, b.jpg, .hidden.nef, empty.cr2 (0 bytes)
// root/one/       c.CR2
// root/one/two/   d.dng, notes.txt
// root/one/two/three/ e.arw
// root/z/         (empty)
struct ThreeLevels {
    TempFolder tmp;
    std::string root = tmp.folder("root");

    ThreeLevels()
    {
        tmp.file("root/a.cr2");
        tmp.file("root/b.jpg");
        tmp.file("root/.hidden.nef");
        tmp.file("root/empty.cr2", 0);
        tmp.file("root/one/c.CR2");
        tmp.file("root/one/two/d.dng");
        tmp.file("root/one/two/notes.txt");
        tmp.file("root/one/two/three/e.arw");
        tmp.folder("root/z");
    }
};

TEST(FolderImport, AddsEveryLevelAndCountsTopLevelEntries)
{
    ThreeLevels tree;
    Lists l;
    l.job.inputFolder = tree.root;
    l.progress.convertedCount = 2; // what an earlier folder of the same drop added

    EXPECT_EQ(filelist::importFolder(l.ctx, l.progress), 5);

    const std::string& r = tree.root;
    EXPECT_THAT(l.files.paths(), ElementsAre(r + ".hidden.nef", r + "a.cr2", r + "one/c.CR2", r + "one/two/d.dng",
                                             r + "one/two/three/e.arw"));
    EXPECT_THAT(l.subfolders(), ElementsAre("", "", "one/", "one/two/", "one/two/three/"));
    EXPECT_EQ(l.progress.currentIndex, 6) << ".hidden.nef a.cr2 b.jpg empty.cr2 one z";
    EXPECT_EQ(l.progress.convertedCount, 7) << "the import adds to the count";
}

TEST(FolderImport, ListsEachFolderInNameOrderWhateverTheCase)
{
    TempFolder tmp;
    const std::string root = tmp.folder("root");
    for (const char* name : {"c.cr2", "b.cr2", "B2.CR2", "A.CR2", "_x.cr2", "B.cr2"})
        tmp.file(std::string("root/") + name);
    Lists l;
    l.job.inputFolder = root;
    ASSERT_EQ(filelist::importFolder(l.ctx, l.progress), 6);
    EXPECT_THAT(l.files.paths(), ElementsAre(root + "_x.cr2", root + "A.CR2", root + "B.cr2", root + "b.cr2",
                                             root + "B2.CR2", root + "c.cr2"));
}

TEST(FolderImport, ProgressMaximumCountsTheSameEntriesAsTheIndex)
{
    ThreeLevels tree;
    Lists l;
    l.job.inputFolder = tree.root;
    (void)filelist::importFolder(l.ctx, l.progress);
    EXPECT_EQ(filelist::countFolderEntries(tree.root), l.progress.currentIndex);
    EXPECT_EQ(filelist::countFolderEntries(tree.tmp / "missing/"), 0);
    EXPECT_EQ(filelist::countFolderEntries(""), 0);
}

TEST(FolderImport, LaterFilesGetSubfoldersAgainstTheLastImportedRoot)
{
    TempFolder tmp;
    Lists l;
    l.job.inputFolder = tmp.folder("in");
    tmp.file("in/first.cr2");
    ASSERT_EQ(filelist::importFolder(l.ctx, l.progress), 1);

    const std::string inside = tmp.file("in/x/y.cr2");
    const std::string outside = tmp.file("other/z.cr2");
    EXPECT_TRUE(filelist::addFile(l.ctx, inside));
    EXPECT_TRUE(filelist::addFile(l.ctx, outside));
    EXPECT_EQ(l.files.find(inside)->subfolder, "x/");
    EXPECT_EQ(l.files.find(outside)->subfolder, "");
}

TEST(FolderImport, AddsNothingWhenTheFolderCannotBeRead)
{
    TempFolder tmp;
    for (const std::string& folder : {tmp / "missing/", std::string(), tmp.file("file.cr2")}) {
        Lists l;
        l.job.inputFolder = folder;
        EXPECT_EQ(filelist::importFolder(l.ctx, l.progress), 0) << folder;
        EXPECT_TRUE(l.files.empty());
        EXPECT_EQ(l.progress.currentIndex, 0);
    }
}

TEST(FolderImport, StopsBetweenFilesAndKeepsWhatWasAdded)
{
    ThreeLevels tree;
    Lists l;
    l.job.inputFolder = tree.root;
    // The driver clears the flag while the third file, the first inside "one/", is being added:
    // the import must not go on into the rest of that sub-tree.
    l.files.desktopHook = [&](const std::string&) {
        if (l.files.size() == 3) {
            std::lock_guard guard(l.progress.lock);
            l.progress.running = false;
        }
    };
    EXPECT_EQ(filelist::importFolder(l.ctx, l.progress), 3);
    EXPECT_EQ(l.files.size(), 3u);
    EXPECT_EQ(l.progress.convertedCount, 3);

    Lists notStarted;
    notStarted.job.inputFolder = tree.root;
    notStarted.progress.running = false;
    EXPECT_EQ(filelist::importFolder(notStarted.ctx, notStarted.progress), 0);
    EXPECT_EQ(notStarted.progress.currentIndex, 0);
}

TEST(FolderImport, WalksLinkedFoldersOnceAndSurvivesLoops)
{
    TempFolder tmp;
    const std::string root = tmp.folder("root");
    tmp.file("root/a/x.cr2");
    tmp.file("elsewhere/y.cr2");
    fs::create_directory_symlink(tmp / "root", tmp / "root/a/loop");          // back up the tree
    fs::create_directory_symlink(tmp / "elsewhere", tmp / "root/b-link");     // a folder outside
    fs::create_directory_symlink(tmp / "elsewhere", tmp / "root/c-again");    // the same one again

    Lists l;
    l.job.inputFolder = root;
    EXPECT_EQ(filelist::importFolder(l.ctx, l.progress), 2);
    EXPECT_THAT(l.files.paths(), ElementsAre(root + "a/x.cr2", root + "b-link/y.cr2"));
}

TEST(FolderImport, SkipsFoldersItMayNotRead)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    TempFolder tmp;
    const std::string root = tmp.folder("root");
    tmp.file("root/locked/x.cr2");
    tmp.file("root/open/y.cr2");
    fs::permissions(tmp / "root/locked", fs::perms::none);

    Lists l;
    l.job.inputFolder = root;
    EXPECT_EQ(filelist::importFolder(l.ctx, l.progress), 1);
    EXPECT_THAT(l.files.paths(), ElementsAre(root + "open/y.cr2"));
}

TEST(FolderImport, RunsOnAThreadOfTheCallers)
{
    ThreeLevels tree;
    Lists l;
    l.job.inputFolder = tree.root;
    std::thread worker([&] { filelist::importFolder(l.ctx, l.progress); });
    worker.join();
    std::lock_guard guard(l.progress.lock);
    EXPECT_EQ(l.progress.convertedCount, 5);
}

TEST(AddFolderTree, AddsEverythingWithOrWithoutTheSlashAndRefusesDuplicates)
{
    ThreeLevels tree;
    Lists l;
    std::string noSlash = tree.root;
    noSlash.pop_back();
    EXPECT_EQ(filelist::addFolderTree(l.ctx, noSlash), 5);
    EXPECT_EQ(filelist::addFolderTree(l.ctx, tree.root), 0) << "every file is already in the list";
    EXPECT_EQ(filelist::addFolderTree(l.ctx, ""), 0);
    EXPECT_THAT(l.subfolders(), ::testing::Each(IsEmpty())) << "no folder import set a root";
}

} // namespace
