// Internal to the file list: the recursive folder walk shared by addFolderTree, the folder import
// and the folder lines of a list import.
#pragma once

#include "filelist/file_list.h"

#include <set>
#include <string>
#include <string_view>
#include <utility>

#include <sys/types.h>

namespace filelist {

// True while the driver has not cleared the running flag.
[[nodiscard]] bool stillRunning(engine::ProgressState& progress);

// One walk over one or more folders. Remembers every folder it has entered (by device and inode)
// so that a symbolic link back up the tree, or a second link to a folder already scanned, is not
// walked again. With a ProgressState it stops between files once the running flag is cleared.
class FolderScan {
public:
    FolderScan(const AddContext& ctx, engine::ProgressState* progress) : m_ctx(ctx), m_progress(progress) {}

    // Adds every file under `folder` at every depth; returns the number added.
    int addTree(const std::string& folder);

    // The folder import: like addTree, but raises the progress index once per top-level entry.
    // Needs the ProgressState given to the constructor.
    int addTopLevel(const std::string& folder);

private:
    struct Entry {
        std::string name;
        bool isFolder = false;
    };
    // Reads the entries of `folder` (ending in "/"), sorted by name; empty when it cannot be read
    // or was entered before.
    std::vector<Entry> enter(const std::string& folder);
    int addEntry(const std::string& folder, const Entry& entry);
    [[nodiscard]] bool stopped() const;

    const AddContext& m_ctx;
    engine::ProgressState* m_progress;
    std::set<std::pair<dev_t, ino_t>> m_entered;
};

// Name order of a folder's entries: letter case ignored first, then plain bytes.
[[nodiscard]] bool nameBefore(std::string_view a, std::string_view b);

// `folder` with a trailing "/" (unchanged when it has one).
[[nodiscard]] std::string withTrailingSlash(std::string folder);

} // namespace filelist
