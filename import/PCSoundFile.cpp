#include "import/PCSoundFile.h"

#include "platform/Errors.h"
#include "import/RegionScan.h"
#include "platform/Files.h"
#include "platform/UserInterface.h"
#include "recorder/FnbTextFile.h"
#include "recorder/PackFile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

namespace {

// The sample data of a source file, read in large pieces. Nothing is read past
// the data's end as the header states it, nor past the end of the file: bytes
// there read as zeros.
class SampleData {
public:
    SampleData(const std::string& path, std::uint64_t dataEnd)
        : m_stream(path, std::ios::binary), m_dataEnd(dataEnd)
    {
    }

    bool IsOpen() const { return m_stream.is_open(); }

    // Fills `count` bytes from file offset `position`; the number of bytes that
    // came from the file, or nothing on a read error.
    std::optional<std::size_t> ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count)
    {
        const std::size_t wanted =
            position >= m_dataEnd ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(count, m_dataEnd - position));
        std::size_t got = 0;
        if (wanted > 0) {
            m_stream.clear();
            m_stream.seekg(static_cast<std::streamoff>(position));
            if (!m_stream)
                return std::nullopt;
            m_stream.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(wanted));
            if (m_stream.bad())
                return std::nullopt;
            got = static_cast<std::size_t>(m_stream.gcount());
        }
        std::memset(buffer + got, 0, count - got);
        return got;
    }

private:
    std::ifstream m_stream;
    std::uint64_t m_dataEnd;
};

// Writes the regions of one source into track data files, one unit of groups
// (at most a block's worth) per read.
class RegionWriter {
public:
    RegionWriter(SampleData& data, const GroupLayout& layout, std::uint64_t dataOffset, std::uint64_t dataSize,
                 platform::ProgressWindow* progress)
        : m_data(data),
          m_layout(layout),
          m_dataOffset(dataOffset),
          m_lastGroup(dataSize / layout.sourceBytes),
          m_progress(progress),
          m_buffer(layout.sourceBytes * layout.groupsPerBlock)
    {
    }

    // One data file for `region`; its track block goes into `textFile`.
    bool Write(SoundRegion& region, int trackIndex, COrvoFnbTextFile& textFile, const CPCSoundFile& source)
    {
        COrvoPackFile pack(source.GetBitsPerSample(), source.GetByteOrder() == CPCSoundFile::kBigEndian);
        const std::string path = platform::JoinPath(textFile.GetMoFolder(), textFile.GetTrackFileName());
        if (!pack.OpenTrackFile(path))
            return false;
        textFile.NoteCreatedFile(path);
        std::uint64_t blocks = 0;
        if (!WriteGroups(region, pack, blocks))
            return false;
        region.lengthGroups = static_cast<std::uint32_t>(blocks * m_layout.groupsPerBlock);
        if (!textFile.WriteTrackBlock(trackIndex, region.startGroup, region.lengthGroups))
            return false;
        textFile.AdvanceTrackSerial();
        return pack.CloseTrackFile();
    }

private:
    // The groups of a region up to the one that reaches the end of the sample
    // data, which is written with zeros after the data (or as zeros only).
    std::uint64_t GroupsToWrite(const SoundRegion& region) const
    {
        if (region.startGroup > m_lastGroup)
            return 1;
        return std::min<std::uint64_t>(region.endGroup, m_lastGroup) - region.startGroup + 1;
    }

    bool WriteGroups(const SoundRegion& region, COrvoPackFile& pack, std::uint64_t& blocks)
    {
        const std::uint64_t groupsPerBlock = m_layout.groupsPerBlock;
        std::uint64_t group = region.startGroup;
        std::uint64_t remaining = GroupsToWrite(region);
        std::uint64_t inBlock = 0;
        while (remaining > 0) {
            const auto count = static_cast<std::size_t>(std::min(remaining, groupsPerBlock - inBlock));
            const auto bytes = count * m_layout.sourceBytes;
            if (!m_data.ReadAt(m_dataOffset + group * m_layout.sourceBytes, m_buffer.data(), bytes) ||
                !pack.PackGroups(m_buffer.data(), count))
                return false;
            Step(group, group + count - 1);
            group += count;
            remaining -= count;
            inBlock += count;
            if (inBlock == groupsPerBlock || remaining == 0) {
                if (!pack.FlushBlock())
                    return false;
                inBlock = 0;
                ++blocks;
            }
        }
        return true;
    }

    void Step(std::uint64_t first, std::uint64_t last)
    {
        if (!m_progress)
            return;
        for (auto steps = ProgressStepsIn(first, last); steps > 0; --steps)
            m_progress->StepAnimation();
    }

    SampleData& m_data;
    const GroupLayout& m_layout;
    const std::uint64_t m_dataOffset;
    const std::uint64_t m_lastGroup;
    platform::ProgressWindow* m_progress;
    std::vector<std::uint8_t> m_buffer;
};

}  // namespace

CPCSoundFile::CPCSoundFile(platform::UserInterface& ui, ByteOrder order) : m_ui(ui), m_byteOrder(order) {}

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
    std::error_code error;
    const auto length = std::filesystem::file_size(m_strPath, error);
    return error ? 0 : length;
}

bool CPCSoundFile::ScanRegions(platform::ProgressWindow*)
{
    if (!ReadHeader(m_strPath))
        return false;
    m_regions.clear();
    const auto layout = GroupLayoutFor(m_bitsPerSample);
    const std::uint64_t dataEnd = std::uint64_t{m_dataOffset} + m_dataSize;
    SampleData data(m_strPath, dataEnd);
    if (!layout || !data.IsOpen())
        return false;
    const std::size_t unitSize = layout->sourceBytes * layout->groupsPerBlock;
    const std::size_t edgeSize = GetEdgeSize(m_sampleRate, m_bitsPerSample);
    std::vector<std::uint8_t> unit(unitSize);
    std::vector<std::uint8_t> flags;
    flags.reserve(m_dataSize / unitSize + 1);
    for (std::uint64_t position = m_dataOffset;; position += unitSize) {
        const auto got = data.ReadAt(position, unit.data(), unitSize);
        if (!got)
            throw ImportError{MessageId::SampleReadFailed};
        if (*got == 0)
            break;
        flags.push_back(UnitFlags(unit.data(), *got, unitSize, edgeSize));
        if (*got < unitSize)
            break;
    }
    m_regions = BuildRegions(flags, layout->groupsPerBlock);
    return true;
}

bool CPCSoundFile::ConvertRegions(int trackIndex, COrvoFnbTextFile& textFile, platform::ProgressWindow* progress)
{
    const auto layout = GroupLayoutFor(m_bitsPerSample);
    SampleData data(m_strPath, std::uint64_t{m_dataOffset} + m_dataSize);
    if (!layout || !data.IsOpen())
        return false;
    RegionWriter writer(data, *layout, m_dataOffset, m_dataSize, progress);
    for (auto& region : m_regions) {
        if (!writer.Write(region, trackIndex, textFile, *this))
            return false;
    }
    return true;
}
