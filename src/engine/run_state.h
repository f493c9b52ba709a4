// The reset that starts every run: at program start, on the main window's New command and at the
// start of a command-line run.
#pragma once

#include "engine/job.h"
#include "settings/run_state.h"

#include <cstdint>

namespace engine {

// A fresh %rnd% number, uniform in 1..99999.
std::int32_t drawRandomNumber();

// Resets the run state in this order: program folder, console flag and icon-change signal
// (settings::resetRunValues), a new %rnd% number and %n% back to 1, an empty job, the
// Preferences start page 0. The caller owns and empties its FileList as well; the accepted
// input extensions are fixed by the edition list and need no rebuilding.
void ResetRunState(settings::RunState& run, ConversionJob& job, NamingCounters& counters);

} // namespace engine
