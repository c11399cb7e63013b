#pragma once
// The PC sound file writers: one output file for a recorder project, uncompressed PCM
// (WAVE or AIFF) here, or encoded by a writer above the engine (FLAC). Samples come in
// most significant byte first, as the track reader delivers them; the writer turns
// them into the file's byte order.
//
// Calling order: OpenFile, WriteHeader(0), WriteData for each converted chunk,
// WriteHeader(total data bytes), CloseFile. The final WriteHeader rewrites the whole
// header with the true lengths; nothing follows the sample data.
//
// The file is written under a hidden temporary name beside the output name and takes
// that name at CloseFile (platform::OpenReplacing): a file it replaces stays intact
// until the new one is complete, and a failed run leaves no half-written file behind.

#include "app/ChunkLayout.h"
#include "recorder/Errors.h"
#include "platform/FileSystem.h"
#include "recorder/Formats.h"
#include "recorder/Records.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// The project's format when its rate and word-length codes name one the writers know.
std::optional<ProjectFormat> ExportFormatOf(const sobinder& record);
// Why no file of the project can be written: an unknown word length or a rate the
// writers do not know, naming "project N" and the code. Nothing for an exportable project.
std::optional<Refusal> ProjectCodesRefusal(const sobinder& record);

class CSndFormFile {
public:
    // A writer for `path` in `files` of a project of `format`; touches no file.
    CSndFormFile(std::string path, const ProjectFormat& format, int channels,
                 platform::FileSystem& files = platform::RealFileSystem());
    virtual ~CSndFormFile();  // a file still open is discarded: the output name keeps what it held
    CSndFormFile(const CSndFormFile&) = delete;
    CSndFormFile& operator=(const CSndFormFile&) = delete;

    // Starts writing the file from empty. False on any failure.
    virtual bool OpenFile();
    // Closes the file when it is open and puts it in place under its name. False when
    // any write, the flush of buffered data, the close or the rename failed: the name
    // then keeps what it held (or, for a link or device written in place, the file is
    // incomplete).
    virtual bool CloseFile();
    // Writes the complete header for `dataBytes` of sample data at the start of the
    // file in one write; the position is then just behind the header. False when the
    // write fails or the length does not fit the header (see MaxDataBytes).
    virtual bool WriteHeader(std::uint64_t dataBytes) = 0;
    // Appends `byteCount` bytes at the current position. False when the write fails.
    virtual bool WriteData(std::size_t byteCount, const std::uint8_t* buffer);
    // Converts whole samples of GetBytesPerSample() bytes (2 or 3) from most
    // significant byte first into the file's byte order; `source` may equal
    // `destination`. Returns `byteCount`.
    virtual std::size_t ConvertSample(const std::uint8_t* source, std::uint8_t* destination,
                                      std::size_t byteCount) const = 0;
    // Reverses `byteCount` bytes in place.
    static void ReverseBytes(std::uint8_t* buffer, std::size_t byteCount);

    // The largest data part whose lengths still fit the header's fields.
    virtual std::uint64_t MaxDataBytes() const = 0;
    bool CanHold(std::uint64_t dataBytes) const { return dataBytes <= MaxDataBytes(); }

    const std::string& GetPath() const { return m_path; }
    std::uint16_t GetChannels() const { return m_channels; }
    int GetBitsPerSample() const { return m_bitsPerSample; }
    int GetBytesPerSample() const { return m_bytesPerSample; }

protected:
    // The sampling rate in Hz of the project.
    std::uint32_t SampleRateHz() const { return m_sampleRateHz; }
    // Seeks to the start and writes the header buffer in one write.
    bool WriteAtStart(const std::uint8_t* header, std::size_t size);
    // Stores a four-character tag.
    static void PutTag(std::uint8_t* at, const char* tag);
    // Where the file is written.
    platform::FileSystem& Files() const { return m_files; }

    std::string m_path;
    std::uint32_t m_sampleRateHz;
    std::uint16_t m_channels;
    int m_bitsPerSample;
    int m_bytesPerSample;
    int m_blockAlign;
    std::uint32_t m_rateWord = 0;  // set by the concrete writer

private:
    platform::FileSystem& m_files;
    std::unique_ptr<platform::OutputFile> m_file;
};

// The largest sample width the writers handle, in bytes.
inline constexpr int kMaxBytesPerSample = 3;

// The largest data part whose lengths still fit the 32-bit fields of a header of
// `headerSize` bytes: the outer chunk's size counts the header after its own chunk
// header, and the data.
constexpr std::uint64_t MaxDataBytesFor(std::size_t headerSize)
{
    return chunk::kMaxSizeField - (headerSize - chunk::kHeaderSize);
}
