#pragma once
// The record of an archive: manifest.json (what the disk holds and what became of
// each part of it) and SHA256SUMS (the checksums in the form `sha256sum -c` checks),
// and what an earlier run's manifest tells a run that resumes or checks it.

#include "archive/ArchiveFiles.h"
#include "archive/ArchiveNames.h"
#include "archive/ArchiveSurvey.h"
#include "archive/LostSamples.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace archive {

inline constexpr const char* kManifestName = "manifest.json";
inline constexpr const char* kChecksumListName = "SHA256SUMS";
inline constexpr const char* kDiskCopyFolder = "disk";
inline constexpr const char* kRescueMapName = "rescue-map.json";

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
    std::vector<UnreadableRange> unreadable{};  // zero in the copy
};

struct TrackRecord {
    std::optional<FileRecord> output;
    std::uint64_t fileSamples = 0;     // sample frames in the output
    std::optional<std::string> error;  // why it was left out
    std::vector<std::string> warnings;
    std::vector<SilentSpan> silent{};  // where unreadable bytes of its data files left it silent
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

// rescue-map.json: the disk files whose copies have unreadable ranges, with the ranges.
std::string RescueMapText(const ArchiveRecord& record);

// SHA256SUMS: one line per written file, "<sha256>  <path>", in the manifest's order.
std::string ChecksumList(const ArchiveRecord& record);

// "folder/name": a path relative to the archive folder, as the manifest gives it.
std::string RelativePath(const std::string& folder, const std::string& name);

// The file system path of `relative` inside `outdir`.
std::string PathInArchive(const std::string& outdir, const std::string& relative);

// True for a path the archive itself could have written: relative, '/' between names,
// each name one that SafeFileName keeps as it is, none "." or "..".
bool IsArchivePath(const std::string& relative);

// What an earlier run's manifest says. Files whose path is not an archive path are
// left out of it: a manifest never leads a run outside its folder.
struct EarlierRun {
    std::string version;
    std::string date;
    ArchiveFormat format = ArchiveFormat::Wave;
    bool complete = false;
    std::map<std::string, FileRecord> diskFiles;  // name as spelt on the disk -> its copy
    std::set<std::string> uncopiedDiskFiles;      // names listed with an error instead
    DamageMap damagedDiskFiles;                   // copies with unreadable ranges, with the ranges
    std::vector<std::string> projectFolders;      // in list order
    struct Output {
        FileRecord file;
        std::uint64_t fileSamples = 0;
        std::vector<std::string> warnings;
    };
    std::map<std::string, Output> outputs;  // by path relative to the archive folder
};

// Nothing when `text` is not a manifest this program wrote. A copy whose unreadable
// ranges do not lie in order within it is taken as not made.
std::optional<EarlierRun> ParseManifest(const std::string& text);

// The unreadable ranges rescue-map.json lists, by disk file name; nothing when `text`
// is not a map this program wrote or a range does not lie in order within its file.
std::optional<DamageMap> ParseRescueMap(const std::string& text);

// The manifest `text` with "complete" false and everything else as it was: what a
// re-run puts in place before it changes a file; nothing when `text` is no manifest.
std::optional<std::string> MarkedIncomplete(const std::string& text);

// What SHA256SUMS lists: its lines of the form ChecksumList writes, and the numbers
// (from 1) of the lines that are not of that form.
struct ChecksumListing {
    std::map<std::string, std::string> sums;  // path -> SHA-256 in lower-case hex
    std::vector<std::size_t> badLines;
};

ChecksumListing ParseChecksumList(const std::string& text);

}  // namespace archive
