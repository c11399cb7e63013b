#pragma once
// Writes recorder disks from a short description (test fixtures, the demo disk): the
// project index FNB.BIN with its circular project list, track heads and segment
// chains, the lead-in table HFS.BIN, the track data files and optionally FNB.TXT.
// Damage can be asked for: links to any slot, short or missing data files, a cut index.
//
//   diskwriter::Disk disk;
//   auto& p = disk.AddProject({.slot = 2, .number = 5, .name = "Demo", .wordLength = kWordLength20});
//   p.AddSegment({.track = 1, .virtualTrack = 1, .startGroup = 10, .lengthGroups = 4, .samples = {...}});
//   disk.Write(folder);

#include "recorder/Records.h"

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace diskwriter {

// A description that cannot be laid out (two records in one slot, a track out of range).
class DescriptionError : public std::exception {
public:
    const char* what() const noexcept override { return "disk description cannot be laid out"; }
};

// A file of the disk could not be written.
class WriteError : public std::exception {
public:
    const char* what() const noexcept override { return "disk file could not be written"; }
};

// Makes sample `index` of a data file, in the project's width.
using SampleGenerator = std::function<std::int32_t(std::uint64_t index)>;

struct SegmentInfo {
    int track = 1;         // 1..8
    int virtualTrack = 1;  // 1..the project's virtualTracks
    std::uint32_t startGroup = 0;
    std::uint32_t lengthGroups = 0;
    std::int16_t leadIn = 0;  // groups, stored in the segment's HFS.BIN record
    std::uint16_t serial = 0;
    // The data file's samples as two's-complement values in the project's width
    // (16, 20 or 24 bit); the file is padded with zeros to whole blocks.
    std::vector<std::int32_t> samples{};
    SampleGenerator generator{};  // used instead of `samples` when set
    std::uint64_t generatedSamples = 0;
    std::optional<std::uint16_t> slot{};       // default: the next free slot
    std::optional<std::int16_t> hfsIndex{};    // default: the next HFS.BIN record
    std::optional<std::uint16_t> link{};       // written instead of the link to the next segment
    std::optional<std::uint64_t> fileBytes{};  // the data file cut (or zero-extended) to this size
    bool missingFile = false;                // no data file is written
};

struct ProjectInfo {
    std::uint16_t slot = 2;
    std::uint16_t number = 0;
    std::string name{};  // at most 14 characters are stored
    std::uint8_t rate = kRate44100;
    std::uint8_t wordLength = kWordLength16;
    int virtualTracks = 8;                  // track heads are written for virtual tracks 1..this
    std::optional<std::uint16_t> nextSong{};  // written instead of the next project's slot
};

class Disk;
class Project;

// Where a segment of the description lands in the index.
struct PlacedSegment {
    const Project* project;
    const SegmentInfo* info;
    std::uint16_t slot;
    std::int16_t hfsIndex;
    std::uint16_t link;
};

class Project {
public:
    Project(const Disk& disk, ProjectInfo info) : m_disk(&disk), m_info(std::move(info)) {}

    // Appends a segment to the chain of its track and virtual track.
    Project& AddSegment(SegmentInfo segment);
    // Writes `link` into the head of (track, virtualTrack) instead of its first segment.
    Project& SetHeadLink(int track, int virtualTrack, std::uint16_t link);

    const ProjectInfo& Info() const { return m_info; }
    using TrackKey = std::pair<int, int>;  // track, virtual track
    const std::map<TrackKey, std::vector<SegmentInfo>>& Chains() const { return m_chains; }
    std::optional<std::uint16_t> HeadLink(int track, int virtualTrack) const;
    // The project record as the reader delivers it (own slot filled in).
    sobinder Record() const;
    // The slot of the head of (track, virtualTrack).
    std::uint16_t HeadSlot(int track, int virtualTrack) const;

private:
    const Disk* m_disk;
    ProjectInfo m_info;
    std::map<TrackKey, std::vector<SegmentInfo>> m_chains;
    std::map<TrackKey, std::uint16_t> m_headLinks;
};

// How the disk's file names are spelt.
enum class NameCase { Recorder, Lower, Upper };

class Disk {
public:
    // Projects are chained in the order they are added; the last links back to the first.
    Project& AddProject(ProjectInfo info);

    Disk& SetFirstSong(std::uint16_t slot);  // written instead of the first project's slot
    Disk& SetFnbLength(std::uint64_t bytes); // FNB.BIN cut or zero-extended to this size
    Disk& OmitHfs();
    Disk& SetFnbText(std::string text);
    Disk& SetNameCase(NameCase nameCase);

    // Writes every file into `folder` (which must exist). Throws DescriptionError or WriteError.
    void Write(const std::string& folder) const;

    // The slot of the project that follows `project` in the list, as written.
    std::uint16_t NextSongOf(const Project& project) const;
    // The data file name of a segment of `project`, spelt as written.
    std::string DataFileName(const Project& project, std::uint16_t serial) const;

private:
    std::vector<std::uint8_t> IndexImage(const std::vector<PlacedSegment>& placed, std::uint32_t slots) const;
    std::string Spelt(const std::string& recorderName) const;

    std::deque<Project> m_projects;
    std::optional<std::uint16_t> m_firstSong;
    std::optional<std::uint64_t> m_fnbLength;
    bool m_omitHfs = false;
    std::optional<std::string> m_fnbText;
    NameCase m_nameCase = NameCase::Recorder;
};

// The decoded form the reader delivers for `value` in a project of `wordLength`:
// big-endian, 2 bytes for 16 bit, 3 for 20 bit (left-justified) and 24 bit.
std::vector<std::uint8_t> DecodedSample(std::int32_t value, std::uint8_t wordLength);

// Packs samples into one track data file image of whole 131072-byte blocks.
std::vector<std::uint8_t> EncodeTrackData(const std::vector<std::int32_t>& samples, std::uint8_t wordLength);

}  // namespace diskwriter
