#include "recorder/BinderFile.h"

#include "platform/Files.h"
#include "recorder/WordOrder.h"

namespace {

// Slot of the head of (track, virtualTrack) of the project whose record is at `songSlot`:
// the eight heads of virtual track 1 follow the record, then those of virtual track 2...
constexpr auto kHeadsPerVirtualTrack = static_cast<std::int64_t>(kTrackCount);
constexpr std::int64_t kFirstHeadOffset = 7;

std::int64_t HeadSlot(std::uint32_t songSlot, int track, int virtualTrack)
{
    return std::int64_t{songSlot} + std::int64_t{virtualTrack} * kHeadsPerVirtualTrack + track -
           kFirstHeadOffset;
}

}  // namespace

CBinderFile::CBinderFile(const std::string& path, platform::FileSystem& files) : CRTFile(files)
{
    if (const auto found = platform::FindFile(files, path)) {
        m_exists = true;
        m_path = *found;
    }
}

bool CBinderFile::OpenForRead()
{
    return Open(m_path);
}

bool CBinderFile::ReadSlots(std::int64_t slot, std::uint8_t* bytes, std::size_t size)
{
    const std::int64_t offset = slot * static_cast<std::int64_t>(kSlotSize);
    m_leftTheFile = slot < 0 || offset + static_cast<std::int64_t>(size) > GetLength();
    return !m_leftTheFile && ReadAt(static_cast<std::uint64_t>(offset), bytes, size) == size;
}

void CBinderFile::Visit(SlotSet& visited, std::int64_t slot)
{
    if (slot >= 0 && static_cast<std::size_t>(slot) < kSlotCount)
        visited.set(static_cast<std::size_t>(slot));
}

bool CBinderFile::Visited(const SlotSet& visited, std::int64_t slot)
{
    return slot >= 0 && static_cast<std::size_t>(slot) < kSlotCount && visited.test(static_cast<std::size_t>(slot));
}

bool CBinderFile::ReadFirstSong(sobinder& rec)
{
    if (GetLength() <= kHeaderSize)
        return false;
    std::uint8_t bytes[kBinderSize];
    if (!ReadSlots(0, bytes, kHeaderSize))
        return false;
    soheader header;
    wordorder::Decode(bytes, header);
    m_firstSongSlot = header.firstSong;
    if (!ReadSlots(m_firstSongSlot, bytes, kBinderSize))
        return false;
    wordorder::Decode(bytes, rec);
    rec.slot = m_firstSongSlot;
    m_visitedSongs.reset();
    Visit(m_visitedSongs, m_firstSongSlot);
    return true;
}

template <typename Record>
bool CBinderFile::ReadLinked(std::uint16_t next, std::uint32_t end, SlotSet& visited, Record& rec)
{
    if (next == end || Visited(visited, next)) {
        m_leftTheFile = false;
        return false;
    }
    std::uint8_t bytes[sizeof(Record)];
    if (!ReadSlots(next, bytes, sizeof bytes))
        return false;
    wordorder::Decode(bytes, rec);
    rec.slot = next;
    Visit(visited, next);
    return true;
}

bool CBinderFile::ReadNextSong(sobinder& rec)
{
    return ReadLinked(rec.nextSong, m_firstSongSlot, m_visitedSongs, rec);
}

bool CBinderFile::ReadFirstSegment(const sobinder& song, int track, int virtualTrack, soentry& seg)
{
    const std::int64_t head = HeadSlot(song.slot, track, virtualTrack);
    std::uint8_t bytes[kEntrySize];
    if (!ReadSlots(head, bytes, kEntrySize))
        return false;
    soentry headEntry;
    wordorder::Decode(bytes, headEntry);
    const std::uint16_t first = headEntry.link;
    if (first == head || !ReadSlots(first, bytes, kEntrySize))
        return false;
    wordorder::Decode(bytes, seg);
    seg.slot = static_cast<std::uint32_t>(head);
    m_visitedSegments.reset();
    Visit(m_visitedSegments, head);
    Visit(m_visitedSegments, first);
    return true;
}

bool CBinderFile::ReadNextSegment(soentry& seg)
{
    return ReadLinked(seg.link, seg.slot, m_visitedSegments, seg);
}

bool CBinderFile::HeadLiesInFile(const sobinder& song, int track, int virtualTrack) const
{
    const std::int64_t head = HeadSlot(song.slot, track, virtualTrack);
    return (head + 1) * static_cast<std::int64_t>(kSlotSize) <= GetLength();
}

CLeadInTable::CLeadInTable(const std::string& hfsPath, platform::FileSystem& files) : CRTFile(files)
{
    const auto found = platform::FindFile(files, hfsPath);
    m_exists = found.has_value();
    if (m_exists)
        Open(*found);
}

std::int16_t CLeadInTable::LeadIn(const soentry& seg)
{
    if (seg.hfsIndex < 0)
        return 0;
    const std::int64_t offset = std::int64_t{seg.hfsIndex} * static_cast<std::int64_t>(kHfsRecordSize);
    std::uint8_t bytes[kHfsRecordSize];
    if (offset + static_cast<std::int64_t>(kHfsRecordSize) > GetLength() ||
        ReadAt(static_cast<std::uint64_t>(offset), bytes, sizeof bytes) != sizeof bytes)
        return 0;
    sohfs record;
    wordorder::Decode(bytes, record);
    return record.leadInGroups;
}

std::int16_t ReadLeadIn(const std::string& hfsPath, const soentry& seg, platform::FileSystem& files)
{
    return CLeadInTable(hfsPath, files).LeadIn(seg);
}
