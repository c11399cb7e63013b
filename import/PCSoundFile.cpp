#include "import/PCSoundFile.h"

#include "import/RegionScan.h"
#include "platform/ByteSource.h"
#include "platform/FileSystem.h"
#include "platform/UserInterface.h"
#include "recorder/FnbTextFile.h"
#include "recorder/PackFile.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace {

// The sample data of a source file, read in large pieces. Nothing is read past
// the data's end as the header states it, nor past the end of the file: bytes
// there read as zeros.
class SampleData {
public:
    SampleData(platform::ByteSource& source, std::uint64_t dataEnd)
        : m_source(source), m_dataEnd(dataEnd), m_heldEnd(std::min(dataEnd, source.Size()))
    {
    }

    // Fills `count` bytes from file offset `position`; the number of bytes that
    // came from the file, or nothing on a read error.
    std::optional<std::size_t> ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count)
    {
        const std::size_t wanted =
            position >= m_dataEnd ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(count, m_dataEnd - position));
        std::size_t got = 0;
        if (wanted > 0) {
            const auto read = m_source.ReadAt(position, buffer, wanted);
            if (!read)
                return std::nullopt;
            got = *read;
        }
        std::memset(buffer + got, 0, count - got);
        return got;
    }

    // How many of `count` bytes from `position` the file holds, as its size when it
    // was opened says: what ReadAt gets unless the file was cut since.
    std::size_t HeldAt(std::uint64_t position, std::size_t count) const
    {
        return position >= m_heldEnd ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(count, m_heldEnd - position));
    }

    std::uint64_t FileSize() const { return m_source.Size(); }

private:
    platform::ByteSource& m_source;
    std::uint64_t m_dataEnd;
    std::uint64_t m_heldEnd;
};

// A conversion that found the source at `path` other than its scan did: `scanned`
// bytes then, `now` bytes as far as it can tell now.
Refusal SourceChanged(const std::string& path, std::uint64_t scanned, std::uint64_t now)
{
    return Refusal{MessageId::ConvertFailed, Reason::SourceChanged, path,
                   std::to_string(scanned) + " bytes when scanned, " + std::to_string(now) + " bytes now"};
}

// A source whose reads fail once the person asked to stop: every header walk ends
// at its next read.
class StoppableSource : public platform::ByteSource {
public:
    StoppableSource(platform::ByteSource& inner, const StopCheck& stopRequested)
        : m_inner(inner), m_stopRequested(stopRequested)
    {
    }

    std::uint64_t Size() const override { return m_inner.Size(); }

    std::optional<std::size_t> ReadAt(std::uint64_t position, void* buffer, std::size_t count) override
    {
        m_stopped = m_stopped || (m_stopRequested && m_stopRequested());
        if (m_stopped)
            return std::nullopt;
        return m_inner.ReadAt(position, buffer, count);
    }

    bool Stopped() const { return m_stopped; }

private:
    platform::ByteSource& m_inner;
    const StopCheck& m_stopRequested;
    bool m_stopped = false;
};

// Writes the regions of one source into track data files, one unit of groups
// (at most a block's worth) per read.
class RegionWriter {
public:
    RegionWriter(SampleData& data, const GroupLayout& layout, const CPCSoundFile& source,
                 platform::ProgressWindow* progress, platform::FileSystem& files)
        : m_data(data),
          m_layout(layout),
          m_source(source),
          m_lastGroup(source.GetDataSize() / layout.sourceBytes),
          m_progress(progress),
          m_files(files),
          m_buffer(layout.sourceBytes * layout.groupsPerBlock)
    {
    }

    // One data file for `region`; its track block goes into `textFile`. Why it failed, or nothing.
    std::optional<Refusal> Write(SoundRegion& region, int trackIndex, COrvoFnbTextFile& textFile)
    {
        COrvoPackFile pack(m_source.GetBitsPerSample(), m_source.GetByteOrder() == CPCSoundFile::kBigEndian, m_files);
        const std::string path = textFile.GetTrackFilePath();
        if (!pack.OpenTrackFile(path))
            return Failure(Reason::DataFileWriteFailed, path);
        textFile.NoteCreatedFile(path);
        std::uint64_t blocks = 0;
        if (auto failure = WriteGroups(region, pack, blocks))
            return failure;
        region.lengthGroups = static_cast<std::uint32_t>(blocks * m_layout.groupsPerBlock);
        // Closed first: the track block keeps the size the file has on the disk.
        if (!pack.CloseTrackFile())
            return Failure(Reason::DataFileWriteFailed, path);
        if (const auto why = textFile.WriteTrackBlock(trackIndex, region.startGroup, region.lengthGroups))
            return Failure(why->reason, why->subject, why->detail);
        textFile.AdvanceTrackSerial();
        return std::nullopt;
    }

private:
    static Refusal Failure(Reason reason, const std::string& subject, const std::string& detail = {})
    {
        return Refusal{MessageId::ConvertFailed, reason, subject, detail};
    }

    // The groups of a region up to the one that reaches the end of the sample
    // data, which is written with zeros after the data (or as zeros only).
    std::uint64_t GroupsToWrite(const SoundRegion& region) const
    {
        if (region.startGroup > m_lastGroup)
            return 1;
        return std::min<std::uint64_t>(region.endGroup, m_lastGroup) - region.startGroup + 1;
    }

    std::optional<Refusal> WriteGroups(const SoundRegion& region, COrvoPackFile& pack, std::uint64_t& blocks)
    {
        const std::uint64_t groupsPerBlock = m_layout.groupsPerBlock;
        std::uint64_t group = region.startGroup;
        std::uint64_t remaining = GroupsToWrite(region);
        std::uint64_t inBlock = 0;
        while (remaining > 0) {
            if (m_progress && m_progress->StopRequested())
                return Failure(Reason::Interrupted, m_source.GetFileName());
            const auto count = static_cast<std::size_t>(std::min(remaining, groupsPerBlock - inBlock));
            const auto bytes = count * m_layout.sourceBytes;
            const std::uint64_t position = m_source.GetDataOffset() + group * m_layout.sourceBytes;
            const auto got = m_data.ReadAt(position, m_buffer.data(), bytes);
            if (!got)
                return Failure(Reason::SourceReadFailed, m_source.GetFileName());
            if (*got < m_data.HeldAt(position, bytes))
                return SourceChanged(m_source.GetFileName(), m_data.FileSize(), position + *got);
            if (!pack.PackGroups(m_buffer.data(), count))
                return Failure(Reason::DataFileWriteFailed, pack.GetPath());
            Report(group, group + count - 1);
            group += count;
            remaining -= count;
            inBlock += count;
            if (inBlock == groupsPerBlock || remaining == 0) {
                if (!pack.FlushBlock())
                    return Failure(Reason::DataFileWriteFailed, pack.GetPath());
                inBlock = 0;
                ++blocks;
            }
        }
        return std::nullopt;
    }

    // Steps the animation for the groups [first, last] just packed, and reports the
    // sample data passed up to the end of the last.
    void Report(std::uint64_t first, std::uint64_t last)
    {
        if (!m_progress)
            return;
        for (auto steps = ProgressStepsIn(first, last); steps > 0; --steps)
            m_progress->StepAnimation();
        m_progress->SetDone(std::min<std::uint64_t>((last + 1) * m_layout.sourceBytes, m_source.GetDataSize()));
    }

    SampleData& m_data;
    const GroupLayout& m_layout;
    const CPCSoundFile& m_source;
    const std::uint64_t m_lastGroup;
    platform::ProgressWindow* m_progress;
    platform::FileSystem& m_files;
    std::vector<std::uint8_t> m_buffer;
};

}  // namespace

CPCSoundFile::CPCSoundFile(SoundFileKind kind, ByteOrder order, platform::FileSystem& files)
    : m_byteOrder(order), m_kind(kind), m_files(files)
{
}

CPCSoundFile::~CPCSoundFile() = default;

void CPCSoundFile::SetFileName(const std::string& path)
{
    m_strPath = path;
}

std::string CPCSoundFile::GetFileName() const
{
    return m_strPath;
}

std::uint64_t CPCSoundFile::GetFileLength() const
{
    return m_files.FileSize(m_strPath).value_or(0);
}

Refusal CPCSoundFile::FormatRefusal(Reason reason, std::string detail)
{
    return Refusal{MessageId::FormatUnknown, reason, {}, std::move(detail)};
}

Refusal CPCSoundFile::WordLengthRefusal(MessageId id) const
{
    return Refusal{id, Reason::UnsupportedBits, m_strPath, std::to_string(m_bitsPerSample)};
}

std::optional<Refusal> CPCSoundFile::CheckOpened(platform::ByteSource* source, const std::string& path,
                                                 const StopCheck& stopRequested)
{
    if (!source)
        return Refusal{MessageId::FileNotFound, Reason::FileNotFound, path, {}};
    m_statedSampleBytes = 0;
    StoppableSource polled(*source, stopRequested);
    auto refusal = ParseHeader(polled);
    if (polled.Stopped())
        refusal = Refusal{MessageId::ConvertFailed, Reason::Interrupted, {}, {}};
    if (refusal)
        refusal->subject = path;
    return refusal;
}

std::optional<Refusal> CPCSoundFile::ReadHeader(const std::string& path, const StopCheck& stopRequested)
{
    return CheckOpened(m_files.OpenRead(path).get(), path, stopRequested);
}

std::optional<Refusal> CPCSoundFile::ScanRegions(platform::ProgressWindow* progress)
{
    const auto source = m_files.OpenRead(m_strPath);
    const StopCheck stopRequested = [progress] { return progress && progress->StopRequested(); };
    if (auto refusal = CheckOpened(source.get(), m_strPath, stopRequested)) {
        if (refusal->reason == Reason::Interrupted)
            throw ImportError{MessageId::ConvertFailed, Reason::Interrupted, m_strPath};
        return refusal;
    }
    m_regions.clear();
    const auto layout = GroupLayoutFor(m_bitsPerSample);
    if (!layout)
        return WordLengthRefusal(MessageId::InsideError);
    m_scannedSize = source->Size();
    const std::uint64_t dataEnd = std::uint64_t{m_dataOffset} + m_dataSize;
    const std::uint64_t held = std::min(dataEnd, m_scannedSize) - std::min<std::uint64_t>(m_dataOffset, m_scannedSize);
    const std::uint64_t stated = std::max<std::uint64_t>(m_dataSize, m_statedSampleBytes);
    m_missingBytes = stated > held ? stated - held : 0;
    SampleData data(*source, dataEnd);
    const std::size_t unitSize = layout->sourceBytes * layout->groupsPerBlock;
    const std::size_t edgeSize = GetEdgeSize(m_sampleRate, m_bitsPerSample);
    std::vector<std::uint8_t> unit(unitSize);
    std::vector<std::uint8_t> flags;
    flags.reserve(m_dataSize / unitSize + 1);
    for (std::uint64_t position = m_dataOffset;; position += unitSize) {
        const auto got = data.ReadAt(position, unit.data(), unitSize);
        if (!got)
            throw ImportError{MessageId::SampleReadFailed, Reason::SourceReadFailed, m_strPath};
        if (*got == 0)
            break;
        if (progress && progress->StopRequested())
            throw ImportError{MessageId::ConvertFailed, Reason::Interrupted, m_strPath};
        flags.push_back(UnitFlags(unit.data(), *got, unitSize, edgeSize));
        if (progress)
            progress->SetDone(position + *got - m_dataOffset);
        if (*got < unitSize)
            break;
    }
    m_regions = BuildRegions(flags, layout->groupsPerBlock);
    return std::nullopt;
}

std::optional<Refusal> CPCSoundFile::ConvertRegions(int trackIndex, COrvoFnbTextFile& textFile,
                                                    platform::ProgressWindow* progress)
{
    const auto layout = GroupLayoutFor(m_bitsPerSample);
    if (!layout)
        return WordLengthRefusal(MessageId::ConvertFailed);
    const auto source = m_files.OpenRead(m_strPath);
    if (!source)
        return Refusal{MessageId::ConvertFailed, Reason::SourceReadFailed, m_strPath, {}};
    if (source->Size() != m_scannedSize)
        return SourceChanged(m_strPath, m_scannedSize, source->Size());
    SampleData data(*source, std::uint64_t{m_dataOffset} + m_dataSize);
    RegionWriter writer(data, *layout, *this, progress, m_files);
    for (auto& region : m_regions) {
        if (auto failure = writer.Write(region, trackIndex, textFile))
            return failure;
    }
    return std::nullopt;
}
