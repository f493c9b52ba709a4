// Values that describe the current run rather than the user's choices: where the program lives,
// whether the console batch is to run, the debug marker, and two signals of the Preferences
// dialog. The full reset, which also clears the engine's run records, is engine::ResetRunState.
#pragma once

#include <string>

namespace settings
{

struct RunState {
    std::string programFolder;    // folder of the running executable, ending in "/"
    bool consoleRun = false;      // the command line named an input: the batch is to run
    std::string runMarker;        // "" normally, "T" in the screenshot mode, "DEBUG" after -d
    int iconChange = 0;           // Preferences left: 0 nothing, 1 icon set changed, 2 icon size changed
    int preferencesStartPage = 0; // page the Preferences dialog opens on; 0 is General
};

// The folder of the running executable (from /proc/self/exe), ending in "/"; the current
// folder when the link cannot be read.
std::string executableFolder();

// Sets the program folder, clears the console flag and the icon-change signal and sets the
// Preferences start page to 0. The run marker is left alone: it belongs to the whole process
// (the screenshot mode sets it before the main window's first reset).
void resetRunValues(RunState& run);

} // namespace settings
