// Helpers for the file-list tests: a temporary folder per test, small files written into it, and
// the records an add needs.
#pragma once

#include "engine/format_registry.h"
#include "engine/job.h"
#include "filelist/file_list.h"
#include "support/app_run_program.h"

#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace filelist_fixtures {

// A fresh, empty folder under the system's temporary folder, removed with everything in it when
// the object goes. `path()` ends in "/".
class TempFolder {
public:
    TempFolder() : m_path(m_folder.path().string() + "/") {}

    [[nodiscard]] const std::string& path() const { return m_path; }
    // path() + relative
    [[nodiscard]] std::string operator/(std::string_view relative) const { return m_path + std::string(relative); }

    // Writes `bytes` to path()/relative, creating missing folders; returns the full path.
    std::string write(std::string_view relative, std::string_view bytes) const;
    // A file of `size` bytes (0 allowed).
    std::string file(std::string_view relative, std::size_t size = 16) const;
    // A folder (and its parents); returns the full path ending in "/".
    std::string folder(std::string_view relative) const;

private:
    testsupport::TempFolder m_folder;
    std::string m_path;
};

// The whole content of a file, or empty when it cannot be read.
[[nodiscard]] std::string readBytes(const std::string& path);

// A ProgressState as a driver leaves it before starting a thread: running, counters at 0.
void startProgress(engine::ProgressState& progress);

// The records one add or import needs, ready to run.
struct Lists {
    engine::FormatRegistry registry = engine::BuildFormatRegistry();
    filelist::FileList files;
    engine::ConversionJob job;
    filelist::AddContext ctx{files, job, registry};
    engine::ProgressState progress;

    Lists() { startProgress(progress); }
    // The sub-folder of every entry, in list order.
    std::vector<std::string> subfolders() const
    {
        std::vector<std::string> out;
        for (const engine::InputFile& e : files.entries()) out.push_back(e.subfolder);
        return out;
    }
};

} // namespace filelist_fixtures
