#include "app/program.h"

#include "app/instance_guard.h"
#include "catalogue/product.h"
#include "cli/driver.h"
#include "cli/help_text.h"
#include "cli/options.h"

#include <ostream>

namespace app {

namespace {

// The desktop start-up, event loop and exit. Until the desktop exists the program explains its
// command line instead.
int continueAsDesktop(ProgramState& state, int /*argc*/, char** /*argv*/, std::ostream& out)
{
    out << cli::helpText(state.programName) << std::flush;
    return 0;
}

// Takes the single-instance lock, in the user's runtime folder or, when that cannot hold it, in
// the temp folder. When neither can, the program runs unguarded rather than refuse to start.
InstanceGuard takeInstanceGuard(const std::string& title)
{
    InstanceGuard guard = InstanceGuard::acquire(instanceLockPath(title));
    if (guard.outcome() != InstanceGuard::Outcome::Unavailable) return guard;
    return InstanceGuard::acquire(fallbackInstanceLockPath(title));
}

} // namespace

ProgramState createProgramState(std::string_view startPath, std::vector<std::string> parameters)
{
    ProgramState state;
    state.title = catalogue::AppTitle();
    state.programName = cli::programName(startPath);
    state.parameters = std::move(parameters);
    state.icons = catalogue::BuildIconRegistries();
    state.formats = engine::BuildFormatRegistry();
    return state;
}

std::optional<int> runCommandLine(ProgramState& state, std::ostream& out)
{
    cli::DriverContext console{state.settings, state.formats, state.messages, out, state.programName,
                               /*workingFolder=*/{}, /*progressOut=*/nullptr};
    return cli::runCommandLine(state.parameters, console);
}

int runProgram(int argc, char** argv, std::ostream& out)
{
    ProgramState state = createProgramState(argc > 0 ? argv[0] : "",
                                            std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));

    // A second desktop start ends silently; a command line is told why nothing happened.
    const InstanceGuard guard = takeInstanceGuard(state.title);
    if (guard.outcome() == InstanceGuard::Outcome::AnotherCopy) {
        if (state.parameters.empty()) return 0;
        out << "Error: another copy of " << catalogue::kProductName << " is running\n" << std::flush;
        return 1;
    }

    if (const std::optional<int> status = runCommandLine(state, out)) return *status;
    return continueAsDesktop(state, argc, argv, out);
}

} // namespace app
