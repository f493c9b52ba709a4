// List files: plain UTF-8 text naming input files and folders, one per line. The export writes
// the rows of the input list; the import reads a list back into the FileList. Both are meant to
// run on a std::thread of the caller's, e.g.
//     progress.running = true;   // under its lock, before the start
//     std::thread worker([&] { filelist::importList(ctx, job.inputFile, progress); });
// and report through the shared ProgressState, whose running flag the driver clears to stop.
#pragma once

#include "engine/job.h"
#include "filelist/file_list.h"

#include <cstdint>
#include <span>
#include <string>

namespace filelist {

// Reads `listFile` and adds what each line names: a byte-order mark at the start is skipped, lines
// end in CR LF, LF or CR (the last may have no ending), spaces around a line are removed (tabs are
// part of the path), empty lines and paths that do not exist are skipped, a folder is added with
// every file under it, anything else goes through addFile. Raises `progress.currentIndex` for every
// line naming something that exists; checks the running flag before every line (and between the
// files of a folder) and stops when it is cleared. Adds the number of files added to
// `progress.convertedCount` and returns it; a file that cannot be opened adds 0.
int importList(const AddContext& ctx, const std::string& listFile, engine::ProgressState& progress);

// Writes `rows` (the list's paths, top to bottom) to `listFile`: the UTF-8 byte-order mark, then
// every row followed by CR LF, the last one included. Sets `progress.currentIndex` to the number of
// rows taken before writing each; checks the running flag before every row and stops when it is
// cleared, keeping the lines written so far. A row holding CR, LF or NUL cannot be stored in a
// line and is skipped. The file is written under a temporary name and renamed into place, so a
// failed write never leaves a truncated list or destroys the previous one. Adds the number of
// lines written to `progress.convertedCount` and returns it; 0 when the file could not be written.
int exportList(const std::string& listFile, std::span<const std::string> rows, engine::ProgressState& progress);

// The number of LF bytes in `listFile` plus one: the progress maximum of an import, found without
// decoding the lines. 0 when the file cannot be read.
[[nodiscard]] std::int64_t countListLines(const std::string& listFile);

} // namespace filelist
