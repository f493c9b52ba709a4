// The worker loop over several files: progress, cancellation and suspension between files, the
// naming counters, sub-folders, timestamps and the debug lines of a console run.
#include "engine/worker.h"

#include "engine/output_encoding.h"
#include "support/engine_dng_fixture.h"
#include "support/engine_fixtures.h"
#include "support/filelist_fixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <streambuf>
#include <thread>

namespace {

namespace fs = std::filesystem;
using engine_fixtures::ConversionRun;
using filelist_fixtures::TempFolder;

// A few small RAW files in `dir`: a.dng, b.dng, ...
std::vector<engine::InputFile> smallRaws(const TempFolder& dir, int count)
{
    std::vector<engine::InputFile> files;
    for (int i = 0; i < count; ++i) {
        const std::string path = dir / (std::string(1, char('a' + i)) + ".dng");
        EXPECT_TRUE(fixtures::writeTestDng(path, {.width = 64, .height = 48}));
        files.push_back({path, ""});
    }
    return files;
}

// Debug lines go through here; `onLine` sees each complete line as the worker writes it.
class LineHook : public std::stringbuf {
public:
    std::function<void(const std::string&)> onLine;

protected:
    int sync() override
    {
        const std::string text = str();
        std::size_t start = 0, end;
        while ((end = text.find('\n', start)) != std::string::npos) {
            const std::string line = text.substr(start, end - start);
            start = end + 1;
            lines.push_back(line);
            if (onLine) onLine(line);
        }
        str(text.substr(start));
        return 0;
    }

public:
    std::vector<std::string> lines;
};

TEST(ConversionWorker, DebugLinesPerFile)
{
    TempFolder in, out;
    ConversionRun run(out.path());
    run.files = smallRaws(in, 1);
    run.files.push_back({in.write("broken.nef", "nothing"), ""});
    std::ostringstream lines;
    EXPECT_EQ(run.convert(&lines), 1);
    EXPECT_EQ(lines.str(), "Processing: " + run.files[0].path + "\nSaving As: " + out.path() + "a.jpg\nOK\n" +
                               "Processing: " + run.files[1].path + "\nSaving As: \nNot OK\n");
    std::lock_guard lock(run.progress.lock);
    EXPECT_EQ(run.progress.currentIndex, 2);
    EXPECT_EQ(run.progress.currentFile, run.files[1].path);
    EXPECT_EQ(run.progress.convertedCount, 1);
}

TEST(ConversionWorker, SequenceNumberMovesOnlyAfterSuccessAndContinuesAcrossRuns)
{
    TempFolder in, out;
    std::vector<engine::InputFile> raws = smallRaws(in, 3);
    ConversionRun run(out.path());
    run.settings.advanced.filenameMask = "Shot_%N%.%ext%";
    run.files = {raws[0], {in.write("broken.cr2", "x"), ""}, raws[1]};
    EXPECT_EQ(run.convert(), 2);
    const std::int32_t randomAfterFirstRun = run.counters.randomNumber;
    EXPECT_GE(randomAfterFirstRun, 1);
    EXPECT_LE(randomAfterFirstRun, 99999);

    run.files = {raws[2]};   // a second run without a reset goes on counting
    EXPECT_EQ(run.convert(), 1);
    EXPECT_TRUE(fs::exists(out / "shot_00001.jpg"));
    EXPECT_TRUE(fs::exists(out / "shot_00002.jpg"));
    EXPECT_TRUE(fs::exists(out / "shot_00003.jpg"));
    EXPECT_FALSE(fs::exists(out / "shot_00004.jpg"));
    EXPECT_EQ(run.counters.sequenceNumber, 4);
}

TEST(ConversionWorker, KeepSubfoldersCreatesEachLevel)
{
    TempFolder in, out;
    std::vector<engine::InputFile> raws = smallRaws(in, 2);
    ConversionRun run(out.path());
    run.files = {{raws[0].path, "a/b/"}, {raws[1].path, ""}};
    EXPECT_EQ(run.convert(), 2);
    EXPECT_TRUE(fs::is_regular_file(out / "a/b/a.jpg"));
    EXPECT_TRUE(fs::is_regular_file(out / "b.jpg"));

    TempFolder flat;
    ConversionRun off(flat.path());
    off.settings.advanced.keepSubfolders = 0;
    off.files = {{raws[0].path, "a/b/"}};
    EXPECT_EQ(off.convert(), 1);
    EXPECT_TRUE(fs::is_regular_file(flat / "a.jpg"));
    EXPECT_FALSE(fs::exists(flat / "a"));
}

TEST(ConversionWorker, OriginalTimestampIsCopiedToTheOutput)
{
    TempFolder in, out;
    std::vector<engine::InputFile> raws = smallRaws(in, 1);
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    fs::last_write_time(raws[0].path, old);
    ConversionRun run(out.path());
    run.settings.advanced.fileTimestamp = 1;
    run.files = raws;
    EXPECT_EQ(run.convert(), 1);
    EXPECT_EQ(fs::last_write_time(out / "a.jpg"), old);
}

TEST(ConversionThread, CancelFinishesTheFileInHandOnly)
{
    TempFolder in, out;
    ConversionRun run(out.path());
    run.files = smallRaws(in, 4);
    engine::prepareOutputEncoding(run.job, run.settings.output);
    LineHook hook;
    std::ostream lines(&hook);
    const engine::WorkerContext ctx{run.settings, run.job, run.files, run.progress, run.counters, run.registry, nullptr, &lines};
    engine::ConversionThread thread(ctx);
    // The driver cancels while the second file is being converted.
    hook.onLine = [&](const std::string& line) {
        if (line == "Processing: " + run.files[1].path) thread.cancel();
    };
    ASSERT_TRUE(thread.start());
    EXPECT_EQ(thread.wait(), 2);
    const engine::ProgressSnapshot end = thread.poll();
    EXPECT_TRUE(end.finished);
    EXPECT_EQ(end.currentIndex, 2);
    EXPECT_EQ(end.convertedCount, 2);
    EXPECT_TRUE(fs::exists(out / "b.jpg"));
    EXPECT_FALSE(fs::exists(out / "c.jpg"));
    EXPECT_EQ(hook.lines.back(), "OK");
}

TEST(ConversionThread, SuspendedWorkerWaitsAtTheNextFileUntilResumed)
{
    TempFolder in, out;
    ConversionRun run(out.path());
    run.files = smallRaws(in, 3);
    engine::prepareOutputEncoding(run.job, run.settings.output);
    LineHook hook;
    std::ostream lines(&hook);
    const engine::WorkerContext ctx{run.settings, run.job, run.files, run.progress, run.counters, run.registry, nullptr, &lines};
    engine::ConversionThread thread(ctx);
    hook.onLine = [&](const std::string& line) {
        if (line == "Processing: " + run.files[0].path) thread.suspend();
    };
    ASSERT_TRUE(thread.start());
    // The first file is finished, then the worker waits instead of starting the second.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(out / "a.jpg") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    engine::ProgressSnapshot mid = thread.poll();
    EXPECT_FALSE(mid.finished);
    EXPECT_EQ(mid.currentIndex, 1);
    EXPECT_FALSE(fs::exists(out / "b.jpg"));

    thread.resume();
    EXPECT_EQ(thread.wait(), 3);
    EXPECT_TRUE(thread.poll().finished);
}

TEST(ConversionThread, DestroyingARunningThreadCancelsAndJoins)
{
    TempFolder in, out;
    ConversionRun run(out.path());
    run.files = smallRaws(in, 3);
    engine::prepareOutputEncoding(run.job, run.settings.output);
    const engine::WorkerContext ctx{run.settings, run.job, run.files, run.progress, run.counters, run.registry};
    {
        engine::ConversionThread thread(ctx);
        ASSERT_TRUE(thread.start());
        EXPECT_FALSE(thread.start());   // one run per object
        thread.suspend();
    }   // suspended and then destroyed: must not hang
    std::lock_guard lock(run.progress.lock);
    EXPECT_FALSE(run.progress.running);
    EXPECT_LE(run.progress.convertedCount, 1);
}

} // namespace
