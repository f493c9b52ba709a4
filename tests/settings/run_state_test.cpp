#include "settings/run_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace
{

TEST(RunValues, ResetSetsProgramFolderAndClearsSignalsButKeepsTheMarker)
{
    settings::RunState run;
    run.programFolder = "/somewhere/else/";
    run.consoleRun = true;
    run.iconChange = 2;
    run.preferencesStartPage = 3;
    run.runMarker = "T";
    settings::resetRunValues(run);

    EXPECT_FALSE(run.consoleRun);
    EXPECT_EQ(run.iconChange, 0);
    EXPECT_EQ(run.preferencesStartPage, 0);
    EXPECT_EQ(run.runMarker, "T"); // the screenshot mode sets it before the main window resets

    // This test program's own folder, with the trailing separator.
    ASSERT_FALSE(run.programFolder.empty());
    EXPECT_EQ(run.programFolder.back(), '/');
    char exe[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    EXPECT_EQ(run.programFolder, std::filesystem::path(exe).parent_path().string() + "/");
}

} // namespace
