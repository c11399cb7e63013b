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

// Samples of `width` bytes (2 or 3) as full-scale 32-bit values: the first byte read
// becomes the most significant byte (big-endian) or the last (little-endian).
void BigEndianToInt32(const std::uint8_t* source, std::size_t width, std::size_t count, std::int32_t* out);
void LittleEndianToInt32(const std::uint8_t* source, std::size_t width, std::size_t count, std::int32_t* out);

}  // namespace archive
