// The reset that starts every run: at program start, on the main window's New command and at the
// start of a command-line run.
#pragma once

#include "engine/format_registry.h"
#include "engine/job.h"
#include "settings/run_state.h"

#include <cstdint>

namespace engine
{

// A fresh %rnd% number, uniform in 1..99999.
std::int32_t drawRandomNumber();

// Resets the run state: program folder, console flag, icon-change signal and Preferences start
// page (settings::resetRunValues; the run marker stays), a new %rnd% number and %n% back to 1,
// an empty job, and the registry's accepted input extensions rebuilt from the input-format list.
// The FileList lives outside the engine: the caller empties it along with this call.
void ResetRunState(settings::RunState& run, ConversionJob& job, NamingCounters& counters,
                   FormatRegistry& registry);

} // namespace engine
