// The console batch: checks the job the options describe, echoes the effective settings in debug
// mode, fills the file list from the input (one file, a list file or a folder tree), converts it
// on the engine's worker and reports the counts, one console line per message.
#pragma once

#include <iosfwd>
#include <string>

#include "catalogue/message_catalogue.h"
#include "cli/options.h"
#include "engine/format_registry.h"
#include "engine/job.h"
#include "settings/conversion_settings.h"

namespace filelist {
class FileList;
}

namespace cli {

// How a batch ended; decides the exit status.
enum class BatchOutcome {
    Refused,          // a check failed: an "Error: " line was printed
    NothingImported,  // the input held no acceptable file
    NothingConverted, // every file failed
    SomeConverted,    // some files converted, some failed
    AllConverted,
};

// 0 when every imported file was converted; 2 when only some were; 1 otherwise.
[[nodiscard]] int exitStatus(BatchOutcome outcome);

// What a batch works on: the process's records, passed down by the program entry.
struct BatchContext {
    settings::ConversionSettings& settings;
    const engine::FormatRegistry& registry;
    const catalogue::MessageCatalogue& catalogue;
    engine::ConversionJob& job;
    filelist::FileList& files;
    engine::ProgressState& progress;
    engine::NamingCounters& counters;
    std::ostream& out;         // the console: the run's own lines only
    std::ostream* progressOut; // one-line progress display, or nullptr for none
    std::string workingFolder; // relative paths are taken against it; ends in "/"
};

// Runs the batch the command line describes (the option loop has run without error and named an
// input). Prints status lines unless quiet, debug lines when cl.debug(), error lines always.
BatchOutcome runBatch(const CommandLine& cl, BatchContext& ctx);

} // namespace cli
