// The conversion worker: walks the input files of a run one by one through the image pipeline,
// publishing progress under the lock of ProgressState, and the small driver API that the console
// batch and the desktop run use to start it on a thread of its own, watch it, suspend, cancel and
// wait for it.
#pragma once

#include "engine/format_registry.h"
#include "engine/job.h"
#include "settings/conversion_settings.h"

#include <atomic>
#include <iosfwd>
#include <string>
#include <thread>
#include <vector>

namespace platform {
class FontRegistry;
}

namespace engine {

// What one run reads and writes besides the files. The driver fills the settings, the job and the
// file list before the start and leaves them alone until the worker has ended; the worker writes
// the progress (under its lock), the counters and the job's per-image target depth.
struct WorkerContext {
    const settings::ConversionSettings& settings;
    ConversionJob& job;
    const std::vector<InputFile>& files;            // converted in this order
    ProgressState& progress;
    NamingCounters& counters;                       // %rnd% and %n%; move only after a success
    const FormatRegistry& registry;                 // the output format's bit depths
    const platform::FontRegistry* fonts = nullptr;  // the run's fonts (text watermark)
    std::ostream* debugLines = nullptr;             // a debug console run: the per-file lines go
                                                    // here, library messages to standard error
};

// The worker loop, on the calling thread: converts the files in order while `running` stays set,
// checking it (and waiting while suspended) before each file, and sets the converted count at the
// end. Expects the progress prepared (prepareProgress). Returns 0.
int ConversionWorker(const WorkerContext& ctx);

// The state before a start: index 0, no file, count 0, running, not suspended.
void prepareProgress(ProgressState& progress);

// A whole run on the calling thread (tests, tools): prepareProgress, then the worker. Returns the
// number of files converted.
int runConversion(const WorkerContext& ctx);

// What a driver reads while the worker runs.
struct ProgressSnapshot {
    int currentIndex = 0;       // 1-based position of the file in hand; 0 before the first
    std::string currentFile;
    int convertedCount = 0;     // set when the worker ends
    bool finished = false;      // the worker has returned
};

// The worker on a thread of its own. One run per object.
class ConversionThread {
public:
    explicit ConversionThread(const WorkerContext& ctx);
    // A run still going is cancelled (after its current file) and joined.
    ~ConversionThread();
    ConversionThread(const ConversionThread&) = delete;
    ConversionThread& operator=(const ConversionThread&) = delete;

    // Prepares the progress and starts the worker. False when the thread cannot be created or a
    // run was already started.
    bool start();
    [[nodiscard]] ProgressSnapshot poll() const;
    [[nodiscard]] bool finished() const { return m_finished.load(); }
    // The worker finishes the file in hand and then waits until resume() or cancel().
    void suspend();
    void resume();
    // The file in hand is finished (written or failed); no further file is started.
    void cancel();
    // Waits for the worker to end; returns the converted count.
    int wait();

private:
    WorkerContext m_ctx;
    std::thread m_thread;
    std::atomic<bool> m_finished{false};
};

} // namespace engine
