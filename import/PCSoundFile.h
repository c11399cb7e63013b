#pragma once
// The PC sound file readers of the import: a mono WAVE or AIFF file is checked
// (ReadHeader), scanned for regions of sound (ScanRegions) and each region is
// converted into a new track data file on the MO disk (ConvertRegions).

#include <cstdint>
#include <string>
#include <vector>

class COrvoFnbTextFile;

namespace platform {
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

class CPCSoundFile {
public:
    enum ByteOrder : std::uint8_t { kLittleEndian = 0, kBigEndian = 1 };

    CPCSoundFile(platform::UserInterface& ui, ByteOrder order);
    virtual ~CPCSoundFile();
    CPCSoundFile(const CPCSoundFile&) = delete;
    CPCSoundFile& operator=(const CPCSoundFile&) = delete;

    virtual void SetFileName(const std::string& path);
    virtual std::string GetFileName() const;
    // Finds the regions of sound of the file named by SetFileName. False when the
    // header check or the open fails; a read error raises ImportError(SampleReadFailed).
    virtual bool ScanRegions(platform::ProgressWindow* progress);
    // Writes one track data file per region of the last scan and a track block for
    // each into the project information file. False on any failure.
    virtual bool ConvertRegions(int trackIndex, COrvoFnbTextFile& textFile, platform::ProgressWindow* progress);
    // Checks the header of `path` and fills the format fields; true when accepted.
    virtual bool ReadHeader(const std::string& path) = 0;

    std::uint32_t GetSampleRate() const { return m_sampleRate; }
    std::uint16_t GetBitsPerSample() const { return m_bitsPerSample; }
    std::uint32_t GetDataSize() const { return m_dataSize; }
    std::uint32_t GetDataOffset() const { return m_dataOffset; }
    ByteOrder GetByteOrder() const { return m_byteOrder; }
    // The file's length in bytes, 0 when it cannot be opened.
    std::uint64_t GetFileLength() const;
    const std::vector<SoundRegion>& GetRegions() const { return m_regions; }

protected:
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
};
