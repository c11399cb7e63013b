#pragma once
// The export runs: a channel mode asks where to save, creates the sound file
// writers and streams the samples of the opened recorder tracks into them in
// chunks of 10240 frames, stepping the progress animation after each chunk that
// more data follows.
//
// Convert returns nonzero when every file was written and 0 otherwise: cancelled
// save dialog, unknown type name, a project of unknown rate or word length, or any
// failure. It shows no message; the caller reports the result.

#include "export/Factory.h"
#include "platform/UserInterface.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CTrack;
class CUserData;

class CChannelType {
public:
    CChannelType(platform::UserInterface& ui, CUserData& settings);
    virtual ~CChannelType();
    CChannelType(const CChannelType&) = delete;
    CChannelType& operator=(const CChannelType&) = delete;

    // `typeName` is "WAVE" or "AIFF" (exactly); `tracks` are `trackCount` opened
    // readers in ascending track order.
    virtual int Convert(const std::string& typeName, const sobinder& record, int trackCount, CTrack* const* tracks);

    static constexpr int kChunkFrames = 10240;
    static constexpr int kSucceeded = 1;
    static constexpr int kFailed = 0;

    // Appends one converted chunk to the writer's data and counts it, unless the
    // data would outgrow what the header's 32-bit lengths can state. Throws
    // ExportError when the chunk does not fit or cannot be written.
    static void AppendChunk(CSndFormFile& writer, const std::vector<std::uint8_t>& chunk, std::uint64_t& dataBytes);

protected:
    // The save dialog's options that differ by mode (overwrite prompt, accept check).
    virtual platform::FileDialogRequest DialogOptions(int trackCount, CTrack* const* tracks) = 0;
    // The run after the user chose `path`; throws on failure, cleans up by its own objects.
    virtual void Run(const SoundFileType& type, const sobinder& record, int trackCount, CTrack* const* tracks,
                     const std::string& path) = 0;

    // Writes the tracks (one channel each, in array order) into the opened writer:
    // header with 0, chunks until a chunk in which no track delivered a sample (that
    // chunk is written too), header with the length, close. Throws ExportError.
    static void ExportTracks(CSndFormFile& writer, CTrack* const* tracks, int trackCount,
                             std::vector<std::uint8_t>& chunk, platform::ProgressWindow* progress);
    // A chunk buffer for `channels` interleaved channels of the tracks' sample width.
    static std::vector<std::uint8_t> MakeChunkBuffer(const CTrack& firstTrack, int channels);
    static void Require(bool condition);

    platform::UserInterface& m_ui;
    CUserData& m_settings;

private:
    std::optional<std::string> AskForPath(const SoundFileType& type, platform::FileDialogRequest request);
    static std::uint64_t WriteChunks(CSndFormFile& writer, CTrack* const* tracks, int trackCount,
                                     std::vector<std::uint8_t>& chunk, platform::ProgressWindow* progress);
};
