#include "engine/library_messages.h"

#include <FreeImage.h>
#include <exiv2/error.hpp>

#include <cstdio>
#include <iostream>

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

} // namespace engine

// LibRaw reports broken data and failed allocations through two callbacks whose defaults print to
// standard error, and FreeImage gives no way to install others. LibRaw reaches its defaults through
// the dynamic symbol table, so the program supplies its own under the same names (the engine's
// link options export them) and hands the text to FreeImage's message routing above.
extern "C" {

__attribute__((visibility("default"))) void default_data_callback(void*, const char* file, const int offset)
{
    const char* name = file ? file : "unknown file";
    if (offset < 0) FreeImage_OutputMessageProc(FIF_RAW, "%s: Unexpected end of file", name);
    else FreeImage_OutputMessageProc(FIF_RAW, "%s: data corrupted at %d", name, offset);
}

__attribute__((visibility("default"))) void default_memory_callback(void*, const char* file, const char* where)
{
    FreeImage_OutputMessageProc(FIF_RAW, "%s: Out of memory in %s", file ? file : "unknown file", where ? where : "");
}

} // extern "C"
