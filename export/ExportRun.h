#pragma once
// One export as the MO->File page's Convert runs it: open the chosen tracks
// ("Track check..."), hand them to the Mono or Stereo mode and report the outcome
// ("Convert succeeded." or "Convert failed."). The GUI page and the command-line
// tool both call it.

#include "app/ExportSelection.h"
#include "recorder/Errors.h"
#include "platform/FileSystem.h"
#include "recorder/Records.h"

#include <optional>
#include <string>
#include <vector>

class CUserData;

namespace platform {
class UserInterface;
}

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
