// The program's entry: brings the process up in a fixed order, keeps a second copy out, and
// chooses between the console tool (parameters that name something to do) and the desktop.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/icon_registries.h"
#include "catalogue/message_catalogue.h"
#include "engine/format_registry.h"
#include "settings/conversion_settings.h"

namespace app {

// What the program keeps for its whole run. One instance, owned by runProgram(); everything
// below it receives the parts it needs by reference.
struct ProgramState {
    std::string title;                  // AppTitle: "Pixelvane 2.8"
    std::string programName;            // the executable's name, for the help text
    std::vector<std::string> parameters;  // the program's parameters, argv[1..]
    catalogue::IconRegistries icons;
    engine::FormatRegistry formats;
    catalogue::MessageCatalogue messages;
    settings::ConversionSettings settings;
};

// The start-up values: title, names, icon registries and format tables. `startPath` is argv[0].
[[nodiscard]] ProgramState createProgramState(std::string_view startPath, std::vector<std::string> parameters);

// The console side. Without parameters it returns nothing at once: the desktop is to run. With
// parameters it prepares the command-line run and handles it; the exit status it returns ends
// the process, nothing means the desktop is to run after all.
[[nodiscard]] std::optional<int> runCommandLine(ProgramState& state, std::ostream& out);

// The whole program: start-up, single-instance guard, console or desktop. Returns the exit status.
[[nodiscard]] int runProgram(int argc, char** argv, std::ostream& out);

} // namespace app
