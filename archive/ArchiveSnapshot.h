#pragma once
// An archive is a snapshot of one disk's contents. A run on a folder whose manifest
// describes other contents (another disk, or the same disk after the recorder changed
// it) changes nothing unless asked to replace it; then everything of the earlier
// archive moves into a folder "previous-<date>" inside the archive folder first, so
// that nothing is ever deleted.

#include "archive/ArchiveManifest.h"
#include "archive/ArchiveSurvey.h"
#include "platform/FileSystem.h"

#include <optional>
#include <string>
#include <vector>

namespace archive {

// The first way in which the disk's recorder files differ from the ones the earlier
// manifest lists ("FNB.BIN differs"); nothing when they are the same. Reads every
// listed file of the disk whose name and size match, trying failed reads again; a
// file with unreadable ranges, on the disk now or in the earlier copy, is compared by
// its size alone.
std::optional<std::string> SnapshotDifference(platform::FileSystem& files, const std::string& disk,
                                              const DiskSurvey& survey, const EarlierRun& earlier,
                                              const ReadRetries& retries);

// The lines that refuse a run on an archive of other contents: what differs, the
// earlier manifest's date and first projects, the disk's, and how to go on.
std::vector<std::string> SnapshotRefusal(const std::string& outdir, const std::string& difference,
                                         const DiskSurvey& survey, const EarlierRun& earlier);

// Moves the earlier archive's files and folders into a new "previous-<date>" folder
// of `outdir`. Returns the folder's name, or nothing with `failure` set when a part
// cannot be moved (what moved stays moved; the manifest moves last, so a later run
// still sees the rest).
std::optional<std::string> MoveAside(platform::FileSystem& files, const std::string& outdir,
                                     const EarlierRun& earlier, std::string& failure);

}  // namespace archive
