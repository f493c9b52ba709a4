// The parts of the console batch that lean on the rest of the program: the watermark font it holds
// for the worker, the import into the file list and the conversion on the engine's worker.
// Internal to the batch run.
#pragma once

#include <string>
#include <string_view>

#include "cli/batch_run.h"
#include "platform/fonts.h"

namespace cli {

// What the batch holds for the worker while it runs; released when the batch ends.
struct BatchResources {
    platform::FontRegistry fonts;

    // Loads the text watermark's face into the watermark font slot; false when the system
    // cannot supply that face.
    [[nodiscard]] bool loadWatermarkFont(const settings::WatermarkSettings& w);
};

// Fills the file list from the job's input: a list file (".txt", ".lst" in any case), one file,
// or the whole tree of the input folder. Returns the number of files added.
[[nodiscard]] int importInput(BatchContext& ctx, BatchResources& resources);

// Converts the file list on the engine's worker thread and waits for it; returns the number of
// files written. `debug` has the worker print its per-file lines; the progress display is drawn
// on ctx.progressOut when it is set.
[[nodiscard]] int convertFiles(BatchContext& ctx, BatchResources& resources, bool debug, bool quiet);

} // namespace cli
