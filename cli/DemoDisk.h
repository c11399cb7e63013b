#pragma once
// The demo recorder disk that `wavelorn-cli demo` writes: three projects (16 bit at
// 44.1 kHz, 20 bit at 32 kHz, 24 bit at 48 kHz) whose tracks hold sine tones of
// stated frequencies, with a second virtual track, a gap between segments, a
// lead-in and a project without a name.

#include <string>
#include <vector>

namespace cli {

// One tone of the demo: where it is and what it sounds like.
struct DemoTone {
    int project;
    int track;
    int virtualTrack;
    double frequency;  // Hz
    const char* note;  // how the tone lies on the time line
};

// The tones of the demo disk, in the order they are written.
const std::vector<DemoTone>& DemoTones();

// Writes the demo disk into `folder` (which must exist and hold no recorder file).
// Throws the disk writer's errors when a file cannot be written.
void WriteDemoDisk(const std::string& folder);

// True when `folder` already holds a file of a recorder disk (FNB.BIN, HFS.BIN,
// FNB.TXT or a track data file), whatever the letter case of its name.
bool HoldsRecorderFiles(const std::string& folder);

}  // namespace cli
