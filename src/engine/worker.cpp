#include "engine/worker.h"

#include "engine/library_messages.h"
#include "engine/naming.h"
#include "engine/pipeline.h"

#include <malloc.h>

#include <filesystem>
#include <ostream>
#include <random>
#include <system_error>

namespace engine {

namespace {

void debugLine(std::ostream* out, const std::string& label, const std::string& value = {})
{
    if (out) *out << label << value << std::endl;   // flushed: the lines interleave with the driver's
}

// Folders below the output folder for an input's subfolder ("a/b/" makes a/ and a/b/). A failure
// is not reported here: the save fails instead.
void createSubfolders(const std::string& outputFolder, const std::string& subfolder)
{
    if (subfolder.empty()) return;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(outputFolder) / subfolder, ec);
}

// Before each file: wait while the driver holds the run suspended, then either stop or publish
// the file as the one in hand. The lock is held only for these few assignments.
bool beginFile(ProgressState& progress, int position, const std::string& path)
{
    std::unique_lock lock(progress.lock);
    progress.wake.wait(lock, [&progress] { return !progress.suspended || !progress.running; });
    if (!progress.running) return false;
    progress.currentIndex = position;
    progress.currentFile = path;
    return true;
}

// Decoding one photo allocates and frees buffers of tens of megabytes. By default the allocator
// hands the larger ones back to the system at once, and the next file's buffers fault in page by
// page again (on virtual machines a sizeable share of the run). For the length of a run, freed
// memory is kept for the next file instead; the run returns it when it ends.
class KeepFreedMemory {
public:
    KeepFreedMemory()
    {
        (void)mallopt(M_MMAP_THRESHOLD, kMmapThreshold);
        (void)mallopt(M_TRIM_THRESHOLD, kTrimThreshold);
    }
    ~KeepFreedMemory() { (void)malloc_trim(0); }
    KeepFreedMemory(const KeepFreedMemory&) = delete;
    KeepFreedMemory& operator=(const KeepFreedMemory&) = delete;

private:
    static constexpr int kMmapThreshold = 32 << 20;     // the allocator's largest allowed value
    static constexpr int kTrimThreshold = 1 << 30;
};

} // namespace

int ConversionWorker(const WorkerContext& ctx)
{
    const bool debug = ctx.debugLines != nullptr;
    routeLibraryMessages(debug);
    const KeepFreedMemory keepFreedMemory;
    const std::string allowedDepths = outputBitDepths(ctx.registry, ctx.job.outputExtension);
    std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::int32_t> randomNumber(1, 99999);

    CurrentImage current;
    int position = 0;
    int converted = 0;
    for (const InputFile& file : ctx.files) {
        current = CurrentImage{};
        current.inputPath = file.path;
        current.subfolder = file.subfolder;
        if (!beginFile(ctx.progress, ++position, file.path)) break;

        if (ctx.settings.advanced.keepSubfolders) createSubfolders(ctx.job.outputFolder, file.subfolder);
        debugLine(ctx.debugLines, "Processing: ", file.path);
        const PipelineContext pipeline{ctx.settings, ctx.job, current, ctx.counters, allowedDepths, ctx.fonts};
        const bool ok = ImagePipeline(pipeline);
        debugLine(ctx.debugLines, "Saving As: ", current.outputPath);
        debugLine(ctx.debugLines, ok ? "OK" : "Not OK");
        if (!ok) continue;   // a failed file does not move the counters and keeps its name free

        ++converted;
        ctx.counters.randomNumber = randomNumber(random);
        ++ctx.counters.sequenceNumber;
        (void)applyFileTimestamp(ctx.settings.advanced, current.inputPath, current.outputPath);
    }

    std::lock_guard lock(ctx.progress.lock);
    ctx.progress.convertedCount = converted;
    return 0;
}

void prepareProgress(ProgressState& progress)
{
    std::lock_guard lock(progress.lock);
    progress.currentIndex = 0;
    progress.currentFile.clear();
    progress.convertedCount = 0;
    progress.running = true;
    progress.suspended = false;
}

int runConversion(const WorkerContext& ctx)
{
    prepareProgress(ctx.progress);
    ConversionWorker(ctx);
    std::lock_guard lock(ctx.progress.lock);
    return ctx.progress.convertedCount;
}

ConversionThread::ConversionThread(const WorkerContext& ctx)
    : m_ctx(ctx)
{
}

ConversionThread::~ConversionThread()
{
    if (m_thread.joinable()) {
        cancel();
        m_thread.join();
    }
}

bool ConversionThread::start()
{
    if (m_thread.joinable() || m_finished) return false;
    prepareProgress(m_ctx.progress);
    try {
        m_thread = std::thread([this] {
            ConversionWorker(m_ctx);
            m_finished = true;
        });
    } catch (const std::system_error&) {
        std::lock_guard lock(m_ctx.progress.lock);
        m_ctx.progress.running = false;
        return false;
    }
    return true;
}

ProgressSnapshot ConversionThread::poll() const
{
    ProgressSnapshot snap;
    snap.finished = m_finished;   // read first: a finished worker has already set the count
    std::lock_guard lock(m_ctx.progress.lock);
    snap.currentIndex = m_ctx.progress.currentIndex;
    snap.currentFile = m_ctx.progress.currentFile;
    snap.convertedCount = m_ctx.progress.convertedCount;
    return snap;
}

void ConversionThread::suspend()
{
    std::lock_guard lock(m_ctx.progress.lock);
    m_ctx.progress.suspended = true;
}

void ConversionThread::resume()
{
    {
        std::lock_guard lock(m_ctx.progress.lock);
        m_ctx.progress.suspended = false;
    }
    m_ctx.progress.wake.notify_all();
}

void ConversionThread::cancel()
{
    {
        std::lock_guard lock(m_ctx.progress.lock);
        m_ctx.progress.running = false;
        m_ctx.progress.suspended = false;
    }
    m_ctx.progress.wake.notify_all();
}

int ConversionThread::wait()
{
    if (m_thread.joinable()) m_thread.join();
    std::lock_guard lock(m_ctx.progress.lock);
    return m_ctx.progress.convertedCount;
}

} // namespace engine
