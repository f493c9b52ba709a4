#include "cli/batch_steps.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "cli/progress_display.h"
#include "engine/worker.h"
#include "filelist/file_list.h"
#include "filelist/list_file.h"

namespace cli {
bool BatchResources::loadWatermarkFont(const settings::WatermarkSettings& w)
{
    platform::FontRequest request;
    request.family = w.font;
    request.sizePoints = w.fontSize;
    request.bold = w.fontStyle == 1 || w.fontStyle == 3;
    request.italic = w.fontStyle == 2 || w.fontStyle == 3;
    request.underline = w.fontEffect == 1;
    request.strikethrough = w.fontEffect == 2;
    return fonts.load(platform::kWatermarkFontSlot, request);
}

namespace {

// Before every background job: a fresh count and the running flag set. Nothing clears the flag
// during a console run, so every job runs to its end.
void resetProgress(engine::ProgressState& progress)
{
    std::lock_guard lock(progress.lock);
    progress.currentIndex = 0;
    progress.currentFile.clear();
    progress.convertedCount = 0;
    progress.running = true;
}

int convertedCount(engine::ProgressState& progress)
{
    std::lock_guard lock(progress.lock);
    return progress.convertedCount;
}

bool isListFile(std::string_view path)
{
    std::string extension(filelist::extensionOf(path));
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension == "txt" || extension == "lst";
}

} // namespace

int importInput(BatchContext& ctx, BatchResources&)
{
    const filelist::AddContext add{ctx.files, ctx.job, ctx.registry};
    const std::string& inputFile = ctx.job.inputFile;

    if (!inputFile.empty() && !isListFile(inputFile)) {
        const int added = filelist::addFile(add, inputFile) ? 1 : 0;
        std::lock_guard lock(ctx.progress.lock);
        ctx.progress.convertedCount = added;
        return added;
    }

    resetProgress(ctx.progress);
    std::thread import([&] {
        if (!inputFile.empty())
            filelist::importList(add, inputFile, ctx.progress);
        else
            filelist::importFolder(add, ctx.progress);
    });
    import.join();
    return convertedCount(ctx.progress);
}

int convertFiles(BatchContext& ctx, BatchResources& resources, bool debug, bool quiet)
{
    const engine::WorkerContext work{
        ctx.settings, ctx.job,      ctx.files.entries(), ctx.progress,
        ctx.counters, ctx.registry, &resources.fonts,    debug ? &ctx.out : nullptr};
    engine::ConversionThread worker(work);
    if (!worker.start()) return 0;

    // The display shares the terminal with nothing else: debug lines and quiet runs go without it.
    if (ctx.progressOut != nullptr && !debug && !quiet) {
        const int total = static_cast<int>(ctx.files.size());
        ProgressDisplay display(*ctx.progressOut, terminalWidth());
        const auto start = std::chrono::steady_clock::now();
        while (!worker.finished()) {
            const engine::ProgressSnapshot now = worker.poll();
            const auto elapsed =
                std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
            display.show(now.currentIndex > 0 ? now.currentIndex - 1 : 0, total, now.currentFile, elapsed);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    return worker.wait();
}

} // namespace cli
