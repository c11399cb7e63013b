#pragma once
// The PC sound file readers of the import: a mono WAVE or AIFF file is checked
// (ReadHeader), scanned for regions of sound (ScanRegions) and each region is
// converted into a new track data file on the MO disk (ConvertRegions). Files are
// opened through the file system the reader was given; a reader keeps why its last
// header check, scan or conversion refused (GetRefusal).

#include "recorder/Errors.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class COrvoFnbTextFile;

namespace platform {
class ByteSource;
class FileSystem;
class ProgressWindow;
class UserInterface;
}  // namespace platform

// One region of a track that holds sound, in groups of 8 samples counted from
// the start of the sample data.
struct SoundRegion {
    std::uint32_t startGroup = 0;
    std::uint32_t endGroup = 0;      // inclusive
    std::uint32_t lengthGroups = 0;  // set by ConvertRegions: whole blocks written
};

// Why a header is refused: the reason and the value it names (a channel count, a rate).
struct HeaderFault {
    Reason reason;
    std::string detail;
};

class CPCSoundFile {
public:
    enum ByteOrder : std::uint8_t { kLittleEndian = 0, kBigEndian = 1 };

    CPCSoundFile(platform::UserInterface& ui, ByteOrder order, platform::FileSystem& files);
    virtual ~CPCSoundFile();
    CPCSoundFile(const CPCSoundFile&) = delete;
    CPCSoundFile& operator=(const CPCSoundFile&) = delete;

    virtual void SetFileName(const std::string& path);
    virtual std::string GetFileName() const;
    // Finds the regions of sound of the file named by SetFileName, reporting through
    // `progress` (SetDone) the bytes of its sample data scanned so far. False when the
    // header check or the open fails; a read error raises ImportError(SampleReadFailed).
    virtual bool ScanRegions(platform::ProgressWindow* progress);
    // Writes one track data file per region of the last scan and a track block for
    // each into the project information file, reporting through `progress` the bytes
    // of sample data passed so far. False on any failure.
    virtual bool ConvertRegions(int trackIndex, COrvoFnbTextFile& textFile, platform::ProgressWindow* progress);

    // Checks the header of the file at `path` and fills the format fields; true when
    // accepted. A refusal's subject is `path`.
    bool ReadHeader(const std::string& path);
    // Checks a header read from `source` and fills the format fields; true when accepted.
    virtual bool ParseHeader(platform::ByteSource& source) = 0;

    // Why the last header check, scan or conversion failed.
    const Refusal& GetRefusal() const { return m_refusal; }
    // Whether a refused header has been shown to the user already (by ShowRefusal).
    virtual bool ShowsRefusals() const { return false; }
    // Sample bytes the header stated beyond the end of the file at the last scan.
    std::uint64_t GetMissingBytes() const { return m_missingBytes; }

    std::uint32_t GetSampleRate() const { return m_sampleRate; }
    std::uint16_t GetBitsPerSample() const { return m_bitsPerSample; }
    std::uint32_t GetDataSize() const { return m_dataSize; }
    std::uint32_t GetDataOffset() const { return m_dataOffset; }
    ByteOrder GetByteOrder() const { return m_byteOrder; }
    // The file's length in bytes, 0 when it cannot be measured.
    std::uint64_t GetFileLength() const;
    const std::vector<SoundRegion>& GetRegions() const { return m_regions; }

protected:
    // Refuses a header with "The file format is unknown." for `reason`; returns false.
    bool RefuseFormat(Reason reason, std::string detail = {});
    // Shows a refused header to the user; the WAVE reader does, the AIFF reader does not.
    virtual void ShowRefusal(const Refusal& refusal);

    platform::UserInterface& m_ui;
    std::vector<SoundRegion> m_regions;
    ByteOrder m_byteOrder;
    std::uint32_t m_sampleRate = 0;
    std::uint16_t m_bitsPerSample = 0;
    std::uint16_t m_channels = 0;
    std::uint16_t m_blockAlign = 0;
    std::uint32_t m_dataSize = 0;
    std::uint32_t m_dataOffset = 0;
    std::string m_strPath;

private:
    // Opens the file at `path` and checks its header; null when refused.
    std::unique_ptr<platform::ByteSource> OpenChecked(const std::string& path);
    bool RefuseHeader(Refusal refusal);
    // Keeps the refusal of a scan or a conversion, which shows nothing; returns false.
    bool Keep(Refusal refusal);
    // A scan or a conversion refused with `id`: the word length has no recorder layout.
    bool RefuseWordLength(MessageId id);

    platform::FileSystem& m_files;
    Refusal m_refusal;
    std::uint64_t m_missingBytes = 0;
};
