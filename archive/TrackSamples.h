#pragma once
// A recorder track read as the export lays it into a file, for the writers and
// checks of the archive that do not go through the export run (FLAC, --verify).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class CTrack;

namespace archive {

// Called with each chunk: `frames` samples of the track, big-endian, of the track's
// width. Returns false to stop reading.
using ChunkSink = std::function<bool(const std::uint8_t* samples, std::size_t frames)>;

// Reads the opened `track` from its start in chunks of the export's size until a
// chunk in which it delivered nothing, that chunk included, as the export writes
// them. `buffer` is reused. False when the sink stopped the reading.
bool ReadExportChunks(CTrack& track, std::vector<std::uint8_t>& buffer, const ChunkSink& sink);

}  // namespace archive
