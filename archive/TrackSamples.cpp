#include "archive/TrackSamples.h"

#include "export/ExportProgress.h"
#include "recorder/Track.h"

namespace archive {

bool ReadExportChunks(CTrack& track, std::vector<std::uint8_t>& buffer, const ChunkSink& sink)
{
    const auto width = static_cast<std::size_t>(track.GetBytesPerSample());
    buffer.resize(width * kExportChunkFrames);
    for (;;) {
        const bool delivered = track.ReadSamples(buffer.data(), kExportChunkFrames, width);
        if (!sink(buffer.data(), kExportChunkFrames))
            return false;
        if (!delivered)
            return true;
    }
}

}  // namespace archive
