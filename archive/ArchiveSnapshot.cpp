#include "archive/ArchiveSnapshot.h"

#include "archive/ArchiveNames.h"
#include "platform/Files.h"

#include <algorithm>

namespace archive {

namespace {

constexpr const char* kPreviousPrefix = "previous-";
constexpr std::size_t kProjectsNamed = 3;
constexpr char kTimeSeparator = ':';

bool Listed(const EarlierRun& earlier, const std::string& name)
{
    return earlier.diskFiles.contains(name) || earlier.uncopiedDiskFiles.contains(name);
}

// "01 Sine Demo, 02 Twenty Bit, 03 Project 3, ..." or "no projects".
std::string FirstProjects(const std::vector<std::string>& folders)
{
    if (folders.empty())
        return "no projects";
    std::string text;
    for (std::size_t i = 0; i < folders.size() && i < kProjectsNamed; ++i)
        text += (i == 0 ? "" : ", ") + folders[i];
    return folders.size() > kProjectsNamed ? text + ", ..." : text;
}

// "previous-2026-12-09T042304+0000": the date without the colons Windows refuses.
std::string PreviousFolderName(const EarlierRun& earlier)
{
    std::string date = earlier.date;
    date.erase(std::remove(date.begin(), date.end(), kTimeSeparator), date.end());
    return SafeFileName(kPreviousPrefix + date);
}

// The first of "NAME", "NAME-2", "NAME-3", ... that `outdir` does not hold.
std::string FreeName(platform::FileSystem& files, const std::string& outdir, const std::string& name)
{
    std::string candidate = name;
    for (int n = 2; files.KindOfEntry(platform::JoinPath(outdir, candidate)) != platform::FileKind::None; ++n)
        candidate = name + "-" + std::to_string(n);
    return candidate;
}

// True when the disk file at `path` holds what its earlier `copy` does. Where either
// has unreadable ranges, the zeros there stand for bytes unknown: the size tells. A
// damaged copy's file is not read at all, so that a re-run reads only its holes.
bool SameBytes(platform::FileSystem& files, const std::string& path, const FileRecord& copy, bool copyDamaged,
               const ReadRetries& retries)
{
    if (copyDamaged)
        return true;
    const CopyResult read = ReadDiskFile(files, path, retries);
    if (read.status != CopyResult::Status::Copied)
        return false;
    return copyDamaged || !read.unreadable.empty() || read.sha256 == copy.sha256;
}

}  // namespace

std::optional<std::string> SnapshotDifference(platform::FileSystem& files, const std::string& disk,
                                              const DiskSurvey& survey, const EarlierRun& earlier,
                                              const ReadRetries& retries)
{
    const auto& names = survey.diskFiles;
    for (const auto& name : names) {
        if (earlier.complete && !Listed(earlier, name))
            return name + " is not in the earlier archive";
    }
    for (const auto& [name, copy] : earlier.diskFiles) {
        const std::string path = platform::JoinPath(disk, name);
        if (std::find(names.begin(), names.end(), name) == names.end())
            return name + " is not on the disk";
        const bool damaged = earlier.damagedDiskFiles.contains(name);
        if (files.FileSize(path) != copy.size || !SameBytes(files, path, copy, damaged, retries))
            return name + " differs";
    }
    return std::nullopt;
}

std::vector<std::string> SnapshotRefusal(const std::string& outdir, const std::string& difference,
                                         const DiskSurvey& survey, const EarlierRun& earlier)
{
    std::vector<std::string> folders;
    for (const auto& project : survey.projects)
        folders.push_back(project.folder);
    return {"archive refused: " + outdir + " holds an archive of other disk contents (" + difference +
                "); nothing was changed",
            "the earlier archive, of " + earlier.date + ": " + FirstProjects(earlier.projectFolders),
            "this disk: " + FirstProjects(folders),
            "--replace moves the earlier archive into " + PreviousFolderName(earlier) + "/ inside " + outdir +
                " first"};
}

std::optional<std::string> MoveAside(platform::FileSystem& files, const std::string& outdir,
                                     const EarlierRun& earlier, std::string& failure)
{
    const std::string previous = FreeName(files, outdir, PreviousFolderName(earlier));
    if (!files.CreateFolders(platform::JoinPath(outdir, previous))) {
        failure = previous + ": the folder cannot be created";
        return std::nullopt;
    }
    std::vector<std::string> parts{kDiskCopyFolder};
    parts.insert(parts.end(), earlier.projectFolders.begin(), earlier.projectFolders.end());
    parts.push_back(kChecksumListName);
    parts.push_back(kManifestName);
    for (const auto& part : parts) {
        const std::string from = platform::JoinPath(outdir, part);
        // One name of the archive folder, never a path that leads elsewhere.
        const bool oneName = IsArchivePath(part) && SafeFileName(part) == part;
        if (!oneName || files.KindOfEntry(from) == platform::FileKind::None)
            continue;
        if (!files.Rename(from, platform::JoinPath(platform::JoinPath(outdir, previous), part))) {
            failure = part + ": cannot be moved into " + previous;
            return std::nullopt;
        }
    }
    // Both folders' entries on the device before the new archive takes the old names.
    if (!files.SyncFolder(platform::JoinPath(outdir, previous)) || !files.SyncFolder(outdir)) {
        failure = previous + ": the moved files cannot be put on the device";
        return std::nullopt;
    }
    return previous;
}

}  // namespace archive
