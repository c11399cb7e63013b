#pragma once
// Any sound file libsndfile reads (WAVE of every sample kind, AIFF/AIFF-C, FLAC,
// W64/RF64, CAF, ...), read from a byte source of the file system as samples scaled
// to full scale 1.0: integer samples exactly, floating-point ones as they are (also
// beyond full scale). Built only where libsndfile is found.

#include "convert/SourceFormat.h"
#include "platform/ByteSource.h"

#include <cstddef>
#include <memory>

namespace convert {

class SoundSource {
public:
    explicit SoundSource(platform::ByteSource& source);
    ~SoundSource();
    SoundSource(const SoundSource&) = delete;
    SoundSource& operator=(const SoundSource&) = delete;

    // False when libsndfile cannot read the source, or its rate lies outside 1 kHz to 768 kHz.
    bool IsOpen() const;
    const SourceFormat& Format() const;
    // Reads up to `frames` frames, interleaved; the number read, 0 at the end or on an error.
    std::size_t Read(double* samples, std::size_t frames);

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
};

}  // namespace convert
