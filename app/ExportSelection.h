#pragma once
// What the MO->File page hands to an export: the disk, the project, the chosen
// tracks with their virtual tracks, Mono or Stereo and the file type.

#include "app/SoundFileKinds.h"
#include "recorder/Records.h"

#include <array>
#include <string>

struct ExportSelection {
    std::string moFolder;
    sobinder project{};
    // Chosen virtual track (1 to 8) per recorder track, index 0 = track 1; 0 where not ticked.
    std::array<int, kTrackCount> virtualTracks{};
    bool stereo = false;
    std::string fileType = KindEntry(SoundFileKind::Wave).typeName;
};
