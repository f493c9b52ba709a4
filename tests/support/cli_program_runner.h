// Runs the built program in a folder of its own and captures what it prints, for the transcript
// tests of the console tool. Every run gets its own runtime and config folders, so parallel test
// programs never meet at the single-instance lock.
#pragma once

#include "support/app_run_program.h"

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace clitest {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder : public testsupport::TempFolder {
  public:
    // `path()` / relative, as text.
    [[nodiscard]] std::string operator/(const std::string& relative) const { return (path() / relative).string(); }
};

using Lines = std::vector<std::string>;

// The four lines every console run that is not quiet starts with, followed by `lines`.
[[nodiscard]] Lines withHeading(std::initializer_list<std::string> lines);

// Every regular file below `folder`, relative, sorted.
[[nodiscard]] Lines filesBelow(const fs::path& folder);

struct ProgramRun {
    std::vector<std::string> lines; // standard output, split at "\n"
    std::string errors;             // standard error
    int status = -1;                // exit status; -1 when it did not exit normally
};

// Runs PIXELVANE_BINARY with `arguments` in `workingFolder`, standard input empty, with
// XDG_RUNTIME_DIR and XDG_CONFIG_HOME below `workingFolder`.
[[nodiscard]] ProgramRun runProgram(const std::vector<std::string>& arguments, const fs::path& workingFolder);

// Writes `bytes` to `path`, creating the folders on the way.
void writeFile(const fs::path& path, const std::string& bytes);

} // namespace clitest
