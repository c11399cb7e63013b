#pragma once
// One export as the MO->File page's Convert runs it: open the chosen tracks
// ("Track check..."), hand them to the Mono or Stereo mode and report the outcome
// ("Convert succeeded." or "Convert failed."). The GUI page and the command-line
// tool both call it.

#include "recorder/Errors.h"
#include "platform/FileSystem.h"
#include "recorder/Records.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

class CUserData;

namespace platform {
class UserInterface;
}

struct ExportSelection {
    std::string moFolder;
    sobinder project{};
    // Chosen virtual track (1 to 8) per recorder track, index 0 = track 1; 0 where not ticked.
    std::array<int, kTrackCount> virtualTracks{};
    bool stereo = false;
    std::string fileType = "WAVE";
};

struct ExportResult {
    bool succeeded = false;
    // Why the run failed; nothing when it succeeded.
    std::optional<Refusal> refusal;
    // The full paths of the files the run completed, in the order written; after a
    // failure part-way, those completed before it.
    std::vector<std::string> files;
    // What the run noticed and went on despite: a track that ended early (naming the
    // track), HFS.BIN missing (once, naming the disk folder).
    std::vector<Warning> warnings;

    explicit operator bool() const { return succeeded; }
};

// Runs the export over the disk and output files in `files` and shows its outcome.
ExportResult RunExport(platform::UserInterface& ui, CUserData& settings, const ExportSelection& selection,
                       platform::FileSystem& files = platform::RealFileSystem());
