#include "app/program.h"

#include "support/app_run_program.h"

#include <gtest/gtest.h>

#include <sstream>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

using testsupport::ProgramRun;
using testsupport::TempFolder;

// The help as a user of this build reads it.
constexpr std::string_view kExpectedHelp =
    " \n"
    "Usage: pixelvane -i <filename> [options]\n"
    " \n"
    "  pixelvane -i example.raw\n"
    "  pixelvane -i /tmp/example.raw\n"
    "  pixelvane -i /tmp/example.raw -o /tmp/converted\n"
    "  pixelvane -i /tmp/filelist.txt\n"
    "  pixelvane -i /tmp/ -o /tmp/converted --jpg-quality=95\n"
    "  pixelvane -i /tmp/ -o /tmp/converted -c jpg --jpg-quality=95\n"
    " \n"
    "Options:\n"
    " \n"
    "  -h, -?, --help            Display this help and exit\n"
    "  -i FILE, --input=FILE     Set input file/list/folder\n"
    "  -o PATH, --output=PATH    Set output folder\n"
    "  -c STR, --conversion=STR  Set output extension, STR = (jpg | bmp | ...)\n"
    " \n"
    "Advanced options:\n"
    " \n"
    "  --width=NUM               Set output image width\n"
    "  --height=NUM              Set output image height\n"
    "  --filename-mask=STR       Define output filename format\n"
    "  --flip-horizontal         Flip output image horizontally\n"
    "  --flip-vertical           Flip output image vertically\n"
    "  --brightness=NUM          Set output image brightness, NUM = -100..100\n"
    "  --contrast=NUM            Set output image contrast, NUM = -100..100\n"
    "  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99\n"
    "  --invert                  Invert output image\n"
    "  --greyscale               Greyscale output image\n"
    "  --profile=FILE            Set configuration file with required settings\n"
    "    ...                     Refer documentation for all available options\n"
    " \n"
    "Other options:\n"
    " \n"
    "  -q, --quiet               Don't print status messages to stdout\n"
    "  -d, --debug               Print debug information to stdout\n"
    "  -p, --pause               Pause at exit\n"
    "  -v, --version             Display version information and exit\n";

constexpr std::string_view kAnotherCopy = "Error: another copy of Pixelvane is running\n";

// Every run gets a runtime folder of its own: tests run in parallel and would otherwise see each
// other as another copy.
ProgramRun runBinary(const std::vector<std::string>& args, const TempFolder& runtime, std::vector<std::string> env = {})
{
    env.push_back("XDG_RUNTIME_DIR=" + runtime.path().string());
    return testsupport::runProgram(PIXELVANE_BINARY, args, env);
}

// Holds the lock a running copy would hold, as a separate open file like another process's.
class LockHolder {
public:
    explicit LockHolder(const std::filesystem::path& file) : m_fd(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        m_locked = m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
    }
    ~LockHolder()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    [[nodiscard]] bool locked() const { return m_locked; }

private:
    int m_fd;
    bool m_locked = false;
};

std::optional<int> commandLine(std::vector<std::string> parameters, std::string& out)
{
    app::ProgramState state = app::createProgramState("/usr/bin/pixelvane", std::move(parameters));
    std::ostringstream stream;
    const std::optional<int> status = app::runCommandLine(state, stream);
    out = stream.str();
    return status;
}

TEST(ProgramState, StartUpValues)
{
    const app::ProgramState state = app::createProgramState("/usr/local/bin/pixelvane", {"-v"});
    EXPECT_EQ(state.title, "Pixelvane 2.8");
    EXPECT_EQ(state.programName, "pixelvane");
    EXPECT_EQ(state.parameters, std::vector<std::string>{"-v"});
    EXPECT_EQ(state.icons.MenuIcons.size(), 22u);
    EXPECT_EQ(state.formats.acceptedInputExtensions.size(), 48u);
}

TEST(CommandLine, OnlyTheFirstParameterSelectsVersionOrHelp)
{
    struct Case { std::vector<std::string> parameters; std::optional<int> status; std::string_view out; };
    const Case cases[] = {
        {{"-v"}, 0, "2.8\n"},
        {{"-V"}, 0, "2.8\n"},
        {{"--Version"}, 0, "2.8\n"},
        {{" --VERSION=1 ", "-i", "x.raw"}, 0, "2.8\n"},   // trimmed; a long name ends at "="
        {{"-h"}, 0, kExpectedHelp},
        {{"-?"}, 0, kExpectedHelp},
        {{"--HELP", "-v"}, 0, kExpectedHelp},
        {{}, std::nullopt, ""},                           // no parameters: the desktop
        {{"-x"}, std::nullopt, ""},
        {{"photo.raw", "--help"}, std::nullopt, ""},      // --help further on is not the help option
        {{"-hx"}, std::nullopt, ""},
        {{"--versions"}, std::nullopt, ""},
        {{"-vh"}, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const auto& p : c.parameters) joined += "[" + p + "]";
        SCOPED_TRACE(joined);
        std::string out;
        EXPECT_EQ(commandLine(c.parameters, out), c.status);
        EXPECT_EQ(out, c.out);
    }
}

TEST(ProgramBinary, PrintsVersionAndHelpExactly)
{
    TempFolder runtime;
    for (const char* option : {"-v", "--VERSION", "-V"}) {
        SCOPED_TRACE(option);
        const ProgramRun run = runBinary({option}, runtime);
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.out, "2.8\n");
        EXPECT_EQ(run.err, "");
    }
    for (const char* option : {"-h", "-?", "--help", "-H"}) {
        SCOPED_TRACE(option);
        const ProgramRun run = runBinary({option}, runtime);
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.out, kExpectedHelp);
        EXPECT_EQ(run.err, "");
    }
}

TEST(ProgramBinary, SecondCopyIsRefused)
{
    TempFolder runtime;
    {
        LockHolder firstCopy(runtime.path() / "Pixelvane 2.8.lock");
        ASSERT_TRUE(firstCopy.locked());

        const ProgramRun desktop = runBinary({}, runtime);
        EXPECT_EQ(desktop.exitStatus, 0);     // a second desktop start ends silently
        EXPECT_EQ(desktop.out, "");
        EXPECT_EQ(desktop.err, "");

        for (const std::vector<std::string>& args : {std::vector<std::string>{"-v"}, {"-i", "photo.raw", "-q"}}) {
            SCOPED_TRACE(args.front());
            const ProgramRun console = runBinary(args, runtime);
            EXPECT_EQ(console.exitStatus, 1);
            EXPECT_EQ(console.out, kAnotherCopy);
        }
    }
    // The first copy has ended: the next start runs.
    const ProgramRun after = runBinary({"-v"}, runtime);
    EXPECT_EQ(after.exitStatus, 0);
    EXPECT_EQ(after.out, "2.8\n");
}

TEST(ProgramBinary, GuardFallsBackToTheTempFolder)
{
    TempFolder temp;
    const std::string lockName = "Pixelvane 2.8-" + std::to_string(::getuid()) + ".lock";
    {
        LockHolder firstCopy(temp.path() / lockName);
        ASSERT_TRUE(firstCopy.locked());
        // Without a runtime folder, and with one that cannot hold the lock, the temp folder's lock counts.
        for (const std::string& runtime : {std::string("XDG_RUNTIME_DIR"), "XDG_RUNTIME_DIR=" + (temp.path() / "gone").string()}) {
            SCOPED_TRACE(runtime);
            const ProgramRun run = testsupport::runProgram(PIXELVANE_BINARY, {"-v"}, {runtime, "TMPDIR=" + temp.path().string()});
            EXPECT_EQ(run.exitStatus, 1);
            EXPECT_EQ(run.out, kAnotherCopy);
        }
    }
    // Nowhere to put a lock at all: the program still runs.
    const ProgramRun run = testsupport::runProgram(
        PIXELVANE_BINARY, {"-v"}, {"XDG_RUNTIME_DIR=" + (temp.path() / "gone").string(), "TMPDIR=" + (temp.path() / "gone").string()});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, "2.8\n");
}

} // namespace
