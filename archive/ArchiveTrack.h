#pragma once
// Writes the output file of one track and virtual track of an archive: WAVE through
// the engine's own export run (so the file holds exactly the bytes `export` writes),
// or FLAC of the same samples through libsndfile. Either is written under a hidden
// temporary name and renamed once complete.

#include "archive/ArchiveNames.h"
#include "archive/ArchiveProgress.h"
#include "archive/ArchiveSurvey.h"
#include "platform/FileSystem.h"
#include "recorder/Errors.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace archive {

struct TrackJob {
    std::string diskFolder;  // where the recorder's files are read
    sobinder record{};       // the project as listed
    ProjectFormat projectFormat{};  // its rate and word length, resolved by the survey
    int track = 0;
    int virtualTrack = 0;
    std::string outputPath;  // the finished file's path
    ArchiveFormat format = ArchiveFormat::Wave;
};

struct TrackOutcome {
    enum class Status {
        Written,
        LeftOut,       // the disk refused: the archive goes on without it
        OutputFailed,  // the output could not be written: the archive stops
    };
    Status status = Status::Written;
    std::optional<Refusal> refusal;
    // What the run noticed and went on despite (a long silence, a track that ended early).
    std::vector<Warning> warnings;
    std::uint64_t frames = 0;  // sample frames in the output file
};

// Writes the job's output, reporting the bytes of samples done to `progress`.
TrackOutcome WriteTrackOutput(platform::FileSystem& files, ArchiveProgress& progress, const TrackJob& job);

}  // namespace archive
