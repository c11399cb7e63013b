#pragma once
// What an archive finds on a recorder disk before it writes anything: the disk's own
// files, every project of FNB.BIN in list order with its folder name, and per track
// and virtual track that holds a recording its segments and whether it can be read.

#include "platform/FileSystem.h"
#include "recorder/Errors.h"
#include "recorder/Formats.h"
#include "recorder/Records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace archive {

struct SegmentFacts {
    std::uint32_t startGroup = 0;
    std::uint32_t lengthGroups = 0;
    std::int16_t leadInGroups = 0;
    std::string dataFile;      // as FNB.BIN names it
    bool dataFileFound = false;  // on the disk, in any letter case
};

struct TrackFacts {
    int track = 0;
    int virtualTrack = 0;
    std::vector<SegmentFacts> segments;
    // Why it cannot be archived at all: the track reader's refusal, or a damaged head.
    std::optional<Refusal> refusal;
    // What it loses although it can be read: a link out of FNB.BIN, missing data files.
    std::vector<std::string> losses;
    std::uint64_t endPosition = 0;     // samples, as the chain describes them
    std::uint64_t expectedFrames = 0;  // of its output file, when it reads to that end
    int bytesPerSample = 0;
    std::string description;  // "track 3 (virtual track 1)"
};

struct ProjectFacts {
    sobinder record{};     // as the list shows it (an unnamed one carries its generated name)
    std::string rawName;   // the 14 bytes of the name field as stored
    std::string folder;    // "NN Name", unique on the disk
    std::optional<Refusal> refusal;  // unknown rate or word length: no track can be written
    std::optional<ProjectFormat> format;  // the resolved codes; nothing when refused
    std::vector<TrackFacts> tracks;  // ascending virtual track, then track
};

struct DiskSurvey {
    bool indexOpened = false;
    // The project list ended at a link outside FNB.BIN: later projects are unknown.
    bool listCutShort = false;
    bool hasLeadInTable = false;
    std::vector<ProjectFacts> projects;
    // The recorder's files in the folder (index files and track data files), as spelt.
    std::vector<std::string> diskFiles;
};

// The recorder's files in the folder `disk` (index files and track data files), as spelt.
std::vector<std::string> RecorderFiles(platform::FileSystem& files, const std::string& disk);

// Reads the disk in `disk` through `files`, whose recorder files are `names`; writes nothing.
DiskSurvey SurveyDisk(platform::FileSystem& files, const std::string& disk, std::vector<std::string> names);
// The same for the recorder files the folder holds now.
DiskSurvey SurveyDisk(platform::FileSystem& files, const std::string& disk);

}  // namespace archive
