#pragma once
// The PC sound file readers of the import: a mono WAVE or AIFF file is checked
// (ReadHeader), scanned for regions of sound (ScanRegions) and each region is
// converted into a new track data file on the MO disk (ConvertRegions). Files are
// opened through the file system the reader was given. Each step returns why it
// refused, or nothing; a reader shows nothing: its callers decide what the user sees.

#include "app/SoundFileKinds.h"
#include "recorder/Errors.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class COrvoFnbTextFile;

namespace platform {
class ByteSource;
class FileSystem;
class ProgressWindow;
}  // namespace platform

// One region of a track that holds sound, in groups of 8 samples counted from
// the start of the sample data.
struct SoundRegion {
    std::uint32_t startGroup = 0;
    std::uint32_t endGroup = 0;      // inclusive
    std::uint32_t lengthGroups = 0;  // set by ConvertRegions: whole blocks written
};

// Asked between the reads of a header check: true once the person asked to stop.
using StopCheck = std::function<bool()>;

// Why a header is refused: the reason and the value it names (a channel count, a rate).
struct HeaderFault {
    Reason reason;
    std::string detail;
};

class CPCSoundFile {
public:
    enum ByteOrder : std::uint8_t { kLittleEndian = 0, kBigEndian = 1 };

    // A reader of `kind` (None for a reader of no listed kind).
    CPCSoundFile(SoundFileKind kind, ByteOrder order, platform::FileSystem& files);
    virtual ~CPCSoundFile();
    CPCSoundFile(const CPCSoundFile&) = delete;
    CPCSoundFile& operator=(const CPCSoundFile&) = delete;

    virtual void SetFileName(const std::string& path);
    virtual std::string GetFileName() const;
    // Finds the regions of sound of the file named by SetFileName, reporting through
    // `progress` (SetDone) the bytes of its sample data scanned so far. The refusal of
    // the header check or the open, or nothing; a read error raises
    // ImportError(SampleReadFailed), a stop request ImportError(Interrupted).
    virtual std::optional<Refusal> ScanRegions(platform::ProgressWindow* progress);
    // Writes one track data file per region of the last scan and a track block for
    // each into the project information file, reporting through `progress` the bytes
    // of sample data passed so far. Why it failed, or nothing; a file whose size
    // differs from the scan's, or that ends sooner than that size, changed meanwhile.
    virtual std::optional<Refusal> ConvertRegions(int trackIndex, COrvoFnbTextFile& textFile,
                                                  platform::ProgressWindow* progress);

    // Checks the header of the file at `path` and fills the format fields; nothing when
    // accepted. A refusal's subject is `path`. `stopRequested` is asked before every
    // read; once it says yes the check ends, refused for Reason::Interrupted.
    std::optional<Refusal> ReadHeader(const std::string& path, const StopCheck& stopRequested = {});
    // Checks a header read from `source` and fills the format fields; nothing when accepted.
    virtual std::optional<Refusal> ParseHeader(platform::ByteSource& source) = 0;

    // The kind of file the reader reads: what its refusals show is a property of the kind.
    SoundFileKind GetKind() const { return m_kind; }
    // Sample bytes the header stated beyond the end of the file, or beyond the end of
    // its sample data, at the last scan.
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
    // A header refused with "The file format is unknown." for `reason`.
    static Refusal FormatRefusal(Reason reason, std::string detail = {});

    std::vector<SoundRegion> m_regions;
    ByteOrder m_byteOrder;
    std::uint32_t m_sampleRate = 0;
    std::uint16_t m_bitsPerSample = 0;
    std::uint16_t m_channels = 0;
    std::uint16_t m_blockAlign = 0;
    std::uint32_t m_dataSize = 0;
    std::uint32_t m_dataOffset = 0;
    // Sample bytes a header field other than the data's own size states (AIFF: the
    // frame count of COMM); 0 where the format has none.
    std::uint64_t m_statedSampleBytes = 0;
    std::string m_strPath;

private:
    // The header check of `source`, opened from `path` (null when it cannot be opened).
    std::optional<Refusal> CheckOpened(platform::ByteSource* source, const std::string& path,
                                       const StopCheck& stopRequested);
    // A scan or a conversion refused with `id`: the word length has no recorder layout.
    Refusal WordLengthRefusal(MessageId id) const;

    SoundFileKind m_kind;
    platform::FileSystem& m_files;
    std::uint64_t m_missingBytes = 0;
    std::uint64_t m_scannedSize = 0;  // of the file, as the last scan opened it
};
