// The console side of the program: decides from the parameters whether the desktop starts, and
// otherwise prints the version or the help, reports an option error, or runs the batch.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/message_catalogue.h"
#include "engine/format_registry.h"
#include "settings/conversion_settings.h"

namespace cli {

// The process's records and console the driver works with; owned by the program entry. The
// records of the run itself (job, file list, progress, counters) live inside the driver.
struct DriverContext {
    settings::ConversionSettings& settings;
    engine::FormatRegistry& registry;       // its accepted extensions are rebuilt for the run
    catalogue::MessageCatalogue& catalogue; // built by the driver when it has work
    std::ostream& out;                      // the console
    std::string programName;                // the program's file name, for the help text
    std::string workingFolder;           // relative paths resolve here ("/"-ended); empty: the current folder
    std::ostream* progressOut = nullptr; // the progress display; empty: standard error when a terminal
};

// Runs the console side for `parameters` (the program's own path not included). Returns the
// process exit status, or nothing when the desktop is to start.
[[nodiscard]] std::optional<int> runCommandLine(const std::vector<std::string>& parameters,
                                                DriverContext& ctx);

// Waits for one key from the terminal, without echo; when standard input is not a terminal,
// waits for its end.
void waitForKey();

} // namespace cli
