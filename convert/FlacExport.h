#pragma once
// The export's FLAC file type: the export run writes through the same FLAC writer as
// the archive, lossless, of exactly the samples its WAVE file holds (a 20-bit project
// as 24-bit samples). The engine cannot link the codec library, so a front end adds
// the type to the export's list at start-up with AddFlacExport.

#include "convert/FlacFile.h"
#include "export/Factory.h"
#include "export/SndFormFile.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace convert {

// One FLAC file of the export. The stream header is the encoder's: WriteHeader only
// checks that the stream is open, and the samples pass ConvertSample unchanged (most
// significant byte first) to be encoded as they are written.
class CFlacFile : public CSndFormFile {
public:
    CFlacFile(std::string path, const ProjectFormat& format, int channels,
              platform::FileSystem& files = platform::RealFileSystem());
    ~CFlacFile() override;

    bool OpenFile() override;
    bool CloseFile() override;
    bool WriteHeader(std::uint64_t dataBytes) override;
    // Takes whole frames of the file's channels.
    bool WriteData(std::size_t byteCount, const std::uint8_t* buffer) override;
    std::size_t ConvertSample(const std::uint8_t* source, std::uint8_t* destination,
                              std::size_t byteCount) const override;
    std::uint64_t MaxDataBytes() const override { return kMaxDataBytes; }

    // A FLAC stream has no length field that the data could outgrow.
    static constexpr std::uint64_t kMaxDataBytes = std::numeric_limits<std::uint64_t>::max();

private:
    std::unique_ptr<FlacWriter> m_writer;
    std::vector<std::int32_t> m_samples;
};

class CFlacFactory : public CFactoryFor<CFlacFile> {};

// Adds FLAC to the export's file types where this build has the codec library; false
// where it has not.
bool AddFlacExport();

}  // namespace convert
