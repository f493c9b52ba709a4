// Where the messages of the image and metadata libraries go. They never reach standard output,
// where the console run writes its own lines: in a debug run they go to standard error, otherwise
// nowhere.
#pragma once

namespace engine {

// Routes FreeImage's and Exiv2's messages to standard error (`toStandardError`) or drops them.
// The libraries keep one handler per process, so this is process-wide; drivers call it before a run.
void routeLibraryMessages(bool toStandardError);

// While an instance lives, what the process writes to standard error is dropped. The camera-RAW
// decoder inside FreeImage writes about broken files to standard error by itself, past any handler;
// the loader wraps it in this scope unless library messages are wanted. Scopes may nest and overlap
// across threads: standard error comes back when the last one ends.
class StandardErrorSilence {
public:
    StandardErrorSilence();
    ~StandardErrorSilence();
    StandardErrorSilence(const StandardErrorSilence&) = delete;
    StandardErrorSilence& operator=(const StandardErrorSilence&) = delete;
};

} // namespace engine
