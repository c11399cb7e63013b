#pragma once
// The --tracks and --project arguments of the export command.

#include "recorder/Records.h"

#include <array>
#include <optional>
#include <string>

namespace cli {

inline constexpr int kStereoTrackLimit = 2;

// Chosen virtual track per recorder track (index 0 = track 1); 0 where the track is not chosen.
using TrackChoice = std::array<int, kTrackCount>;

// Parses "T" or "T:V" items separated by commas (track 1 to 8, virtual track 1 to 8,
// default 1), each track at most once, at least one track, at most two in stereo.
// Nothing when the text breaks any of these rules.
std::optional<TrackChoice> ParseTrackList(const std::string& text, bool stereo);

// "all" or "all:V" in any letter case (virtual track V, 1 to 8, default 1): every
// track whose virtual track V holds a recording. V, or nothing when the text is not of
// that form.
std::optional<int> ParseAllTracks(const std::string& text);

// A project number as listed ("5", "05", "100"): decimal digits only.
std::optional<unsigned> ParseProjectNumber(const std::string& text);

}  // namespace cli
