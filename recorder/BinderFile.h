#pragma once
// The handle on the project index FNB.BIN: the circular list of project records and,
// per track and virtual track, the chain of segments. Reads report failure as false
// and show nothing. A walk stops as at a normal end when it comes back to a slot it
// has already visited, so a damaged index cannot make it loop; a link that leads
// outside the file also stops it, and the handle tells that end apart.

#include "recorder/RTFile.h"
#include "recorder/Records.h"

#include <bitset>
#include <cstdint>
#include <string>

class CBinderFile : public CRTFile {
public:
    // Looks the path up in `files` (finding the name also in another letter case);
    // opens nothing.
    explicit CBinderFile(const std::string& path, platform::FileSystem& files = platform::RealFileSystem());

    bool Exists() const { return m_exists; }
    // The file's path as found on disk; empty when it does not exist.
    const std::string& GetPath() const { return m_path; }
    bool OpenForRead();

    // The header and the first project record.
    bool ReadFirstSong(sobinder& rec);
    // Replaces `rec` by the record that rec.nextSong names; false at the end of the list.
    bool ReadNextSong(sobinder& rec);
    // The first segment of (track, virtualTrack) of `song`; false when nothing is recorded.
    // The segment carries the head's slot, against which the chain end is judged.
    bool ReadFirstSegment(const sobinder& song, int track, int virtualTrack, soentry& seg);
    // Replaces `seg` by the next segment of its chain (carrying its own slot).
    bool ReadNextSegment(soentry& seg);
    // True when the last read that returned false did so because its record lies
    // (partly) outside the file: a damaged index rather than the end of a chain.
    bool LeftTheFile() const { return m_leftTheFile; }
    // True when the head slot of (track, virtualTrack) of `song` lies in the file: a
    // first read that left the file then followed a damaged link rather than looking
    // past the index's end.
    bool HeadLiesInFile(const sobinder& song, int track, int virtualTrack) const;

private:
    static constexpr std::size_t kSlotCount = 1u << 16;  // slot numbers are 16-bit
    using SlotSet = std::bitset<kSlotCount>;

    // Reads `size` bytes at slot `slot` into `bytes`; false unless all of them lie in the file.
    bool ReadSlots(std::int64_t slot, std::uint8_t* bytes, std::size_t size);
    // Reads the record at slot `next` into `rec` (with its own slot filled in), unless
    // `next` is the walk's `end` or a slot the walk has visited.
    template <typename Record>
    bool ReadLinked(std::uint16_t next, std::uint32_t end, SlotSet& visited, Record& rec);
    static void Visit(SlotSet& visited, std::int64_t slot);
    static bool Visited(const SlotSet& visited, std::int64_t slot);

    bool m_exists = false;
    bool m_leftTheFile = false;
    std::string m_path;
    std::uint16_t m_firstSongSlot = 0;
    SlotSet m_visitedSongs;
    SlotSet m_visitedSegments;
};

// The lead-in table HFS.BIN: one record per segment, found by the segment's record index.
class CLeadInTable : public CRTFile {
public:
    // Looks the path up in `files` (also in another letter case) and opens it when found.
    explicit CLeadInTable(const std::string& hfsPath, platform::FileSystem& files = platform::RealFileSystem());

    // False when no file of that name exists: every lead-in is then 0.
    bool Exists() const { return m_exists; }
    // The lead-in of `seg`, in groups. 0 when the table or the record cannot be read
    // and for a negative record index.
    std::int16_t LeadIn(const soentry& seg);

private:
    bool m_exists = false;
};

// The lead-in of one segment from the HFS.BIN at `hfsPath`, as CLeadInTable::LeadIn.
std::int16_t ReadLeadIn(const std::string& hfsPath, const soentry& seg,
                        platform::FileSystem& files = platform::RealFileSystem());
