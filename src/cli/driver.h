// The console side of the program: decides from the parameters whether the desktop starts, and
// otherwise prints the version or the help, reports an option error, or runs the batch.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/message_catalogue.h"
#include "engine/format_registry.h"
#include "engine/job.h"
#include "settings/conversion_settings.h"

namespace filelist {
class FileList;
}

namespace cli {

// The process's records and console the driver works with; owned by the program entry.
struct DriverContext {
    settings::ConversionSettings& settings;
    engine::FormatRegistry& registry;
    catalogue::MessageCatalogue& catalogue;   // built by the driver when it has work
    engine::ConversionJob& job;
    filelist::FileList& files;
    engine::ProgressState& progress;
    engine::NamingCounters& counters;
    std::ostream& out;                  // the console
    std::ostream* progressOut = nullptr;   // where the progress display goes, when wanted
    std::string appTitle;               // "Pixelvane 2.8"
    std::string versionText;            // "2.8"
    std::string homepage;               // the maker's homepage address
    std::string programName;            // the program's file name without folder and extension
    std::string workingFolder;          // relative paths resolve against it; ends in "/"
    bool desktopAvailable = true;       // false in a console-only build: help instead of windows
};

// Runs the console side for `parameters` (the program's own path not included). Returns the
// process exit status, or nothing when the desktop is to start.
[[nodiscard]] std::optional<int> runCommandLine(const std::vector<std::string>& parameters, DriverContext& ctx);

// Waits for one key from the terminal, without echo; when standard input is not a terminal,
// waits for its end.
void waitForKey();

} // namespace cli
