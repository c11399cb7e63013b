#pragma once
// --verify: every file of an archive read back and checked. Raw copies against their
// checksums; outputs against their checksums and, sample by sample, against a fresh
// read of the disk (WAVE through the program's own reader, FLAC through libsndfile).

#include "archive/ArchiveManifest.h"
#include "archive/ArchiveProgress.h"
#include "archive/ArchiveSurvey.h"
#include "platform/FileSystem.h"

#include <string>
#include <vector>

namespace archive {

struct VerifyJob {
    std::string disk;    // the recorder's folder, read afresh
    std::string outdir;  // the archive folder
    const DiskSurvey* survey = nullptr;
    const ArchiveRecord* record = nullptr;
    // Reads the tracks' samples afresh, with their unreadable groups silent as in the
    // archive's decode; null: `files` itself.
    platform::FileSystem* decoding = nullptr;
};

struct VerifyOutcome {
    // One line per mismatch, "<file>: <what differs>"; empty when everything matches.
    std::vector<std::string> mismatches;
    // The progress window asked to stop: the files after the one being read were not checked.
    bool stopped = false;
};

// Checks the archive's files, asking `progress` between files and between the chunks
// of a track whether to stop.
VerifyOutcome VerifyArchive(platform::FileSystem& files, ArchiveProgress& progress, const VerifyJob& job);

}  // namespace archive
