#pragma once
// FLAC files through libsndfile, written to a checked output file and read from
// a byte source of the file system, so that a failing disk shows as it does for
// every other file of the program. Built only where libsndfile is found
// (WAVELORN_HAVE_FLAC).

#include "platform/ByteSource.h"
#include "platform/OutputFile.h"

#include <cstdint>
#include <memory>

namespace convert {

// True when this build can write and read FLAC.
bool FlacAvailable();

class FlacWriter {
public:
    // Starts a FLAC stream of `channels` channels, `rate` Hz and `bits` (16 or 24) per
    // sample in `file`.
    FlacWriter(std::unique_ptr<platform::OutputFile> file, std::uint32_t rate, unsigned bits, int channels);
    ~FlacWriter();
    FlacWriter(const FlacWriter&) = delete;
    FlacWriter& operator=(const FlacWriter&) = delete;

    // False when the stream could not be started.
    bool IsOpen() const;
    // Appends `frames` frames of full-scale 32-bit samples, the channels of a frame one
    // after the other (the file keeps their top `bits`).
    bool Write(const std::int32_t* samples, std::size_t frames);
    // Ends the stream, syncs the file to the device and closes it; false when anything
    // failed on the way.
    bool Close();

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
};

class FlacReader {
public:
    explicit FlacReader(platform::ByteSource& source);
    ~FlacReader();
    FlacReader(const FlacReader&) = delete;
    FlacReader& operator=(const FlacReader&) = delete;

    // False when the source is not a FLAC file libsndfile can read.
    bool IsOpen() const;
    int Channels() const;
    std::uint64_t Frames() const;
    // Reads up to `count` samples of a mono file as full-scale 32-bit values; the
    // number read, 0 at the end or on an error.
    std::size_t Read(std::int32_t* samples, std::size_t count);

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
};

}  // namespace convert
