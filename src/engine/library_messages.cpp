#include "engine/library_messages.h"

#include <FreeImage.h>
#include <exiv2/error.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <mutex>

namespace engine {

namespace {

void freeImageToStandardError(FREE_IMAGE_FORMAT fif, const char* message)
{
    const char* format = fif != FIF_UNKNOWN ? FreeImage_GetFormatFromFIF(fif) : nullptr;
    std::fprintf(stderr, "FreeImage%s%s: %s\n", format ? " " : "", format ? format : "", message ? message : "");
}

void freeImageNowhere(FREE_IMAGE_FORMAT, const char*) {}

void exivNowhere(int, const char*) {}

void exivToStandardError(int, const char* message)
{
    std::cerr << "Exiv2: " << (message ? message : "") << std::flush;
}

// The redirection of file descriptor 2 is process state by nature; these track who holds it.
struct SilenceState {
    std::mutex lock;
    int depth = 0;
    int savedDescriptor = -1;
};

SilenceState& silenceState()
{
    static SilenceState state;
    return state;
}

} // namespace

void routeLibraryMessages(bool toStandardError)
{
    FreeImage_SetOutputMessage(toStandardError ? freeImageToStandardError : freeImageNowhere);
    if (toStandardError) {
        Exiv2::LogMsg::setHandler(exivToStandardError);
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::warn);
    } else {
        Exiv2::LogMsg::setHandler(exivNowhere);
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    }
}

StandardErrorSilence::StandardErrorSilence()
{
    SilenceState& s = silenceState();
    std::lock_guard guard(s.lock);
    if (s.depth++ > 0) return;
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && sink >= 0 && ::dup2(sink, STDERR_FILENO) >= 0) {
        s.savedDescriptor = saved;
    } else if (saved >= 0) {
        ::close(saved);
    }
    if (sink >= 0) ::close(sink);
}

StandardErrorSilence::~StandardErrorSilence()
{
    SilenceState& s = silenceState();
    std::lock_guard guard(s.lock);
    if (--s.depth > 0) return;
    if (s.savedDescriptor >= 0) {
        std::fflush(stderr);
        ::dup2(s.savedDescriptor, STDERR_FILENO);
        ::close(s.savedDescriptor);
        s.savedDescriptor = -1;
    }
}

} // namespace engine
