// The console driver in-process: where the progress display goes, and that it never reaches the
// console lines; and the real sample set through the built program.

#include "cli/driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "catalogue/message_catalogue.h"
#include "engine/format_registry.h"
#include "support/cli_program_runner.h"
#include "support/engine_dng_fixture.h"

namespace {

namespace fs = std::filesystem;

struct Console {
    std::ostringstream out;
    std::ostringstream progress;
};

std::optional<int> runInProcess(const std::vector<std::string>& parameters, const fs::path& folder, Console& console)
{
    settings::ConversionSettings settings;
    engine::FormatRegistry registry = engine::BuildFormatRegistry();
    catalogue::MessageCatalogue messages;
    cli::DriverContext ctx{settings,         registry, messages, console.out, "pixelvane", folder.string() + "/",
                           &console.progress};
    return cli::runCommandLine(parameters, ctx);
}

class DriverInProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"in/a.dng", "in/b.dng"}) {
            fixtures::TestDngOptions dng;
            dng.width = 48;
            dng.height = 32;
            fs::create_directories((m_dir.path() / name).parent_path());
            ASSERT_TRUE(fixtures::writeTestDng((m_dir.path() / name).string(), dng));
        }
        fs::create_directories(m_dir.path() / "out");
    }
    clitest::TempFolder m_dir;
};

TEST_F(DriverInProcess, ProgressGoesToItsOwnStreamAndIsClearedAtTheEnd)
{
    Console console;
    EXPECT_EQ(runInProcess({"-q", "-i", "in", "-o", "out"}, m_dir.path(), console), 0);
    EXPECT_EQ(console.out.str(), "");
    EXPECT_EQ(console.progress.str(), "");   // quiet: no display either

    Console shown;
    EXPECT_EQ(runInProcess({"-i", "in", "-o", "out"}, m_dir.path(), shown), 0);
    EXPECT_EQ(shown.out.str().find('\r'), std::string::npos);
    EXPECT_NE(shown.out.str().find("Files converted: 2 of 2\n"), std::string::npos);
    const std::string progress = shown.progress.str();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.substr(0, 5), "\r0/2 ");
    EXPECT_EQ(progress.substr(progress.size() - 4), "\r\033[K");   // nothing left on the line

    Console debug;
    EXPECT_EQ(runInProcess({"-d", "-i", "in", "-o", "out"}, m_dir.path(), debug), 0);
    EXPECT_EQ(debug.progress.str(), "");   // debug lines and the display would mix
}

TEST_F(DriverInProcess, NothingToDoStartsTheDesktop)
{
    Console console;
    EXPECT_EQ(runInProcess({}, m_dir.path(), console), std::nullopt);
    EXPECT_EQ(runInProcess({"photo.raw", "-q", "--help", "-x"}, m_dir.path(), console), std::nullopt);
    EXPECT_EQ(console.out.str(), "");
}

TEST(RealSamples, ConvertEveryReadableSample)
{
    const fs::path samples = fs::path(PIXELVANE_SAMPLES_DIR) / "raw";
    if (!fs::is_directory(samples))
        GTEST_SKIP() << "no samples at " << samples;
    clitest::TempFolder dir;
    fs::create_directories(dir.path() / "out");

    const clitest::ProgramRun run = clitest::runProgram({"-q", "-i", samples.string(), "-o", "out"}, dir.path());
    EXPECT_EQ(run.lines, std::vector<std::string>{});
    EXPECT_EQ(run.status, 0);
    std::size_t written = 0;
    for (const auto& entry : fs::directory_iterator(dir.path() / "out")) {
        EXPECT_EQ(entry.path().extension(), ".jpg");
        EXPECT_GT(entry.file_size(), 0u);
        ++written;
    }
    EXPECT_GE(written, 5u);
}

} // namespace
