#pragma once
// libsndfile's virtual I/O onto the program's own files: a checked output file to
// write, a byte source of the file system to read. Every libsndfile stream of the
// program goes through these, so that a failing disk shows as it does for every
// other file. Included only where libsndfile is found.

#include "platform/ByteSource.h"
#include "platform/OutputFile.h"

#include <sndfile.h>

#include <memory>

namespace convert {

// libsndfile's calls into a checked output file: it writes on, and seeks back once
// to complete the stream's header. It never reads what it wrote.
struct OutputIo {
    std::unique_ptr<platform::OutputFile> file;
    sf_count_t position = 0;
    sf_count_t length = 0;
};

// Reads from a byte source; the source outlives the stream.
struct SourceIo {
    platform::ByteSource* source;
    sf_count_t position = 0;
};

// The calls for sf_open_virtual with an OutputIo or a SourceIo as the user data.
SF_VIRTUAL_IO* OutputCalls();
SF_VIRTUAL_IO* SourceCalls();

}  // namespace convert
