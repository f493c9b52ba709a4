// The records of one conversion run: what the driver prepares (ConversionJob), what the worker
// and its driver share (ProgressState), the file in hand (CurrentImage) and the naming counters
// that live across runs (NamingCounters). Plain structs; each driver, test or benchmark owns its own.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace engine {

// One input file: its full path and the sub-folder below the output folder it goes to
// (empty, or relative and ending in "/").
struct InputFile {
    std::string path;
    std::string subfolder;
};

struct ConversionJob {
    std::string outputFolder;      // absolute, always ending in "/"
    std::string outputExtension;   // lower-case registry key of the output format, e.g. "jpg"
    int outputFormatId = -1;       // FreeImage format id of that extension
    int targetBitDepth = 0;        // bits per pixel of the saved image; chosen per image when automatic
    bool automaticDepth = false;   // re-choose the depth for every image from its source depth
    int saveFlags = 0;             // FreeImage save flags for the output format
    // Inputs named by the command line; the worker does not read them.
    std::string inputFolder;
    std::string inputFile;
    std::string inputFormat;
};

// Shared between a background job and its driver. Every field is read and written under `lock`,
// held only for a few assignments and never while an image is processed.
struct ProgressState {
    std::mutex lock;
    int currentIndex = 0;          // 1-based position of the file in hand; 0 before the first
    std::string currentFile;       // input path of the file in hand
    int convertedCount = 0;        // files written successfully; set when the worker ends
    bool running = false;          // the driver clears it to cancel; read before each file
    // The driver sets it while it asks the user whether to cancel; the worker then waits at the
    // next file boundary (never holding the lock) until it is cleared or `running` is cleared.
    // Whoever changes either flag notifies `wake`.
    bool suspended = false;
    std::condition_variable wake;
};

struct CurrentImage {
    std::string inputPath;
    std::string subfolder;         // empty or ending in "/"
    int sourceBitDepth = 0;        // bits per pixel as loaded, before any step
    int width = 0;                 // size after rotation and resizing
    int height = 0;
    std::string outputPath;        // set by naming; cleared at the start of each file
};

// %rnd% and %n%: live from program start across runs, moved only by a successful file.
struct NamingCounters {
    std::int32_t randomNumber = 1;   // 1..99999
    std::int32_t sequenceNumber = 1;
};

} // namespace engine
