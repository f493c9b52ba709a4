#include "cli/driver.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <ostream>

#include <termios.h>
#include <unistd.h>

#include "catalogue/product.h"
#include "cli/batch_run.h"
#include "cli/help_text.h"
#include "cli/options.h"
#include "engine/run_state.h"
#include "filelist/file_list.h"

namespace cli {
namespace {


void printLine(std::ostream& out, std::string_view text)
{
    out << text << '\n';
    out.flush();
}

// The maker's notice for the console: "(c)" in place of the copyright sign, which not every
// terminal can show.
std::string consoleNotice(std::string text)
{
    static constexpr std::string_view kCopyright = "\u00A9";
    for (auto at = text.find(kCopyright); at != std::string::npos; at = text.find(kCopyright, at + 3))
        text.replace(at, kCopyright.size(), "(c)");
    return text;
}

} // namespace

void waitForKey()
{
    if (isatty(STDIN_FILENO) == 0) {
        // Not a terminal: its end stands for the key, so a pipe or a script can answer.
        char buffer[256];
        while (true) {
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n == 0 || (n < 0 && errno != EINTR)) break;
        }
        return;
    }
    termios saved{};
    const bool haveSaved = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (haveSaved) {
        termios raw = saved;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
    char key = 0;
    while (read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
    }
    if (haveSaved) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

std::optional<int> runCommandLine(const std::vector<std::string>& parameters, DriverContext& ctx)
{
    if (parameters.empty()) return std::nullopt;

    // The records of this run; the process ends with it.
    settings::RunState run;
    engine::ConversionJob job;
    engine::NamingCounters counters;
    filelist::FileList files;
    engine::ProgressState progress;
    engine::ResetRunState(run, job, counters, ctx.registry);
    settings::ResetToDefaults(ctx.settings, true);
    ctx.catalogue = catalogue::BuildCatalogue();

    const std::string first = OptionName(parameters.front());
    // Only the first parameter selects these; "--help" further on is an unknown option. The
    // uninstall page (-U) and the screenshot mode (-T) belong to the desktop.
    if (first == "-V" || first == "--VERSION") {
        printLine(ctx.out, catalogue::VersionText());
        return 0;
    }
    if (first == "-H" || first == "-?" || first == "--HELP") {
        ctx.out << helpText(ctx.programName);
        ctx.out.flush();
        return 0;
    }

    CommandLine cl;
    runOptionLoop(parameters, ctx.settings, cl);
    if (!cl.errorText.empty()) {
        printLine(ctx.out, "Error: " + cl.errorText);
        if (cl.pause) waitForKey();
        return 1;
    }
    if (!cl.consoleRun) return std::nullopt; // the desktop loads its own settings over what the options set
    run.consoleRun = true;

    if (!cl.quiet) {
        printLine(ctx.out, catalogue::AppTitle());
        printLine(ctx.out, consoleNotice(settings::defaultWatermarkText()));
        printLine(ctx.out, catalogue::kMakerHomepage);
        printLine(ctx.out, " ");
    }

    std::string workingFolder = ctx.workingFolder;
    if (workingFolder.empty()) {
        std::error_code ec;
        workingFolder = std::filesystem::current_path(ec).string();
    }
    if (!workingFolder.ends_with('/')) workingFolder += '/';
    std::ostream* progressOut = ctx.progressOut;
    if (progressOut == nullptr && isatty(STDERR_FILENO) != 0) progressOut = &std::cerr;

    BatchContext batch{ctx.settings, ctx.registry, ctx.catalogue, job,         files,
                       progress,     counters,     ctx.out,       progressOut, workingFolder};
    const BatchOutcome outcome = runBatch(cl, batch);

    if (cl.pause) {
        printLine(ctx.out, "Press any key to exit.");
        waitForKey();
    }
    return exitStatus(outcome);
}

} // namespace cli
