// Runs a program as a child process with chosen parameters and environment, and collects what it
// printed and how it ended. For tests of the built binary.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

struct ProgramRun {
    int exitStatus = -1;      // the exit status, or -1 when the program did not exit normally
    int signal = 0;           // the signal that ended it, if one did
    bool timedOut = false;    // killed after the time-out
    std::string out;          // everything written to standard output
    std::string err;          // everything written to standard error
};

// Starts `program` with `args` and the test's environment, changed by `env` entries "NAME=value"
// (replacing that variable) or "NAME" alone (removing it), in `workingFolder` when one is given.
// Standard input is /dev/null.
[[nodiscard]] ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args,
                                    const std::vector<std::string>& env = {},
                                    std::chrono::milliseconds timeout = std::chrono::seconds(60),
                                    const std::filesystem::path& workingFolder = {});

// A fresh, private folder below the temp folder, removed with everything in it at the end of scope
// (also when a test took permissions away inside it).
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace testsupport
