// Where the messages of the image and metadata libraries go. They never reach standard output,
// where the console run writes its own lines: in a debug run they go to standard error, otherwise
// nowhere.
#pragma once

namespace engine {

// Routes FreeImage's and Exiv2's messages to standard error (`toStandardError`) or drops them.
// What LibRaw (inside FreeImage) reports about broken RAW data goes the same way as FreeImage's
// own messages. The libraries keep one handler per process, so this is process-wide; the worker
// calls it at the start of a run.
void routeLibraryMessages(bool toStandardError);

} // namespace engine
