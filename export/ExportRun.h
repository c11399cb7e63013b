#pragma once
// One export as the MO->File page's Convert runs it: open the chosen tracks
// ("Track check..."), hand them to the Mono or Stereo mode and report the outcome
// ("Convert succeeded." or "Convert failed."). The GUI page and the command-line
// tool both call it.

#include "recorder/Records.h"

#include <array>
#include <cstdint>
#include <string>

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

// Runs the export and shows its outcome; true when it succeeded.
bool RunExport(platform::UserInterface& ui, CUserData& settings, const ExportSelection& selection);

// The number of progress steps an export of these tracks takes: one per chunk of
// every output file, estimated from the tracks' segment chains.
std::uint64_t ExpectedExportSteps(const ExportSelection& selection);
