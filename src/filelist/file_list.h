// The input files of the next conversion: a set keyed by full path, kept in the order the files
// were added, each entry with the sub-folder it goes to below the output folder. Every way of
// adding (dialogs, drops, folder scans, list files, the command line) goes through addFile.
#pragma once

#include "engine/format_registry.h"
#include "engine/job.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace filelist {

// Called with the path of every entry that addFile stores. The desktop fills it to append a row to
// its list view; the command line leaves it empty. It runs on the thread that adds, which is an
// import thread during a folder or list import.
using DesktopHook = std::function<void(const std::string& path)>;

// The set itself. Keys are compared exactly (case-sensitive, character by character); a path that
// is already a key is never stored again. Not locked: while an import thread adds to it, nobody
// else touches it.
class FileList {
public:
    FileList();

    // Stores `path` with `subfolder` unless the path is already a key. No file-system checks:
    // that is addFile's job. True when stored.
    bool insert(std::string path, std::string subfolder);

    // Removes one key; false when it was not there. Keeps the order of the others.
    bool remove(std::string_view path);
    // Removes every key in `paths` in one pass; returns how many were removed.
    std::size_t removeAll(const std::vector<std::string>& paths);
    // Empties the set (the run-state reset).
    void clear();

    [[nodiscard]] bool contains(std::string_view path) const;
    // The entry stored under `path`, or nullptr.
    [[nodiscard]] const engine::InputFile* find(std::string_view path) const;
    [[nodiscard]] std::size_t size() const { return m_entries.size(); }
    [[nodiscard]] bool empty() const { return m_entries.empty(); }

    // Every entry, in the order it was added: what the conversion visits and the list view shows.
    [[nodiscard]] const std::vector<engine::InputFile>& entries() const { return m_entries; }
    // The keys in the same order (the rows a list export writes).
    [[nodiscard]] std::vector<std::string> paths() const;

    // Filled by the desktop; see DesktopHook.
    DesktopHook desktopHook;

private:
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const noexcept { return std::hash<std::string_view>{}(key); }
    };
    void reindexFrom(std::size_t first);

    std::vector<engine::InputFile> m_entries;
    std::unordered_map<std::string, std::size_t, KeyHash, std::equal_to<>> m_index; // key -> position
};

// What adding needs besides the path: the set, the job whose input folder is the root that
// sub-folders are computed against (the last folder import), and the registry whose accepted
// input extensions decide which files may join. All three must outlive any use of the context.
struct AddContext {
    FileList& files;
    const engine::ConversionJob& job;
    const engine::FormatRegistry& registry;
};

// The extension part of a path: the text after the last dot of its last component, or empty.
[[nodiscard]] std::string_view extensionOf(std::string_view path);

// The sub-folder of `path` below `base` ("a/b/" for base "/in/" and "/in/a/b/x.cr2"); empty when
// either is empty, the file lies outside the base, or the remainder would climb out with "..".
[[nodiscard]] std::string subfolderOf(std::string_view path, std::string_view base);

// Adds one file. Refused (false) unless the path names an existing regular file longer than
// 0 bytes whose lower-cased extension is accepted and which is not yet in the set. A stored entry
// is reported to the desktop hook. Safe to call from an import thread.
bool addFile(const AddContext& ctx, const std::string& path);

// Adds every file under `folder` (with or without the trailing "/"), at every depth, hidden files
// included, in name order. Returns the number of files added; a folder that cannot be read adds
// nothing. Symbolic links to folders are followed, but no folder is scanned twice.
int addFolderTree(const AddContext& ctx, const std::string& folder);

// The folder import, run on a thread of its own: scans the job's input folder. For every
// top-level entry it raises `progress.currentIndex` by one (so the index counts top-level entries,
// not files), then adds the file or the whole sub-tree. Checks the running flag before every file
// and stops when it is cleared; entries added before the stop stay. At the end it adds the number
// of files added to `progress.convertedCount` and returns that number. The caller sets the
// running flag before starting it.
int importFolder(const AddContext& ctx, engine::ProgressState& progress);

// The number of entries directly in `folder`, "." and ".." not counted: the progress maximum of a
// folder import, whose index counts the same entries. 0 when the folder cannot be read.
[[nodiscard]] std::int64_t countFolderEntries(const std::string& folder);

} // namespace filelist
