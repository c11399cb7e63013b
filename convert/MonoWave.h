#pragma once
// A mono WAVE file at a recorder rate and word length, as the import takes it: a
// plain PCM "fmt " chunk stating 16, 20 or 24 bits, samples in 2 or 3 bytes (20 bits
// left-justified), least significant byte first. The header is written first with
// no data and rewritten with the true length at Close.

#include "platform/OutputFile.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace convert {

class MonoWaveWriter {
public:
    MonoWaveWriter(std::unique_ptr<platform::OutputFile> file, std::uint32_t rate, unsigned bits);

    // Appends samples of the word length (two's complement, right-justified).
    bool Write(const std::int32_t* samples, std::size_t count);
    // Completes the header and closes the file; false when anything failed on the way.
    bool Close();

    // The bytes a file of `frames` samples of `bits` takes.
    static std::uint64_t FileBytes(std::uint64_t frames, unsigned bits);

private:
    bool WriteHeader(std::uint64_t dataBytes);

    std::unique_ptr<platform::OutputFile> m_file;
    std::uint32_t m_rate;
    unsigned m_bits;
    unsigned m_bytesPerSample;
    std::uint64_t m_dataBytes = 0;
    bool m_failed = false;
    std::vector<std::uint8_t> m_buffer;
};

}  // namespace convert
