#pragma once
// The record of an archive: manifest.json (what the disk holds and what became of
// each part of it) and SHA256SUMS (the checksums in the form `sha256sum -c` checks),
// and what an earlier run's manifest tells a run that resumes it.

#include "archive/ArchiveNames.h"
#include "archive/ArchiveSurvey.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace archive {

inline constexpr const char* kManifestName = "manifest.json";
inline constexpr const char* kChecksumListName = "SHA256SUMS";
inline constexpr const char* kDiskCopyFolder = "disk";

// A file the archive wrote (or kept), by its path relative to the archive folder.
struct FileRecord {
    std::string file;  // with '/' between folder and name
    std::uint64_t size = 0;
    std::string sha256;
};

struct DiskFileRecord {
    std::string name;  // as spelt on the disk
    std::optional<FileRecord> copy;
    std::optional<std::string> error;  // why it could not be copied
};

struct TrackRecord {
    std::optional<FileRecord> output;
    std::uint64_t fileSamples = 0;     // sample frames in the output
    std::optional<std::string> error;  // why it was left out
    std::vector<std::string> warnings;
};

struct ArchiveRecord {
    ArchiveFormat format = ArchiveFormat::Wave;
    std::string version;
    std::string date;
    bool complete = false;
    std::vector<DiskFileRecord> diskFiles;
    // Per project of the survey, per track of it; empty until the project is done.
    std::vector<std::vector<TrackRecord>> tracks;
    std::vector<std::string> warnings;  // about the disk as a whole
    std::vector<std::string> leftOut;   // everything that is not in the archive
};

// manifest.json for the disk and the archive's record.
std::string ManifestText(const DiskSurvey& survey, const ArchiveRecord& record);

// SHA256SUMS: one line per written file, "<sha256>  <path>", in the manifest's order.
std::string ChecksumList(const ArchiveRecord& record);

// What an earlier run's manifest says.
struct EarlierRun {
    std::string version;
    std::map<std::string, std::string> diskFiles;  // name -> SHA-256 of the copy
    struct Output {
        FileRecord file;
        std::uint64_t fileSamples = 0;
        std::vector<std::string> warnings;
    };
    std::map<std::string, Output> outputs;  // by path relative to the archive folder
};

// Nothing when `text` is not a manifest this program wrote.
std::optional<EarlierRun> ParseManifest(const std::string& text);

}  // namespace archive
