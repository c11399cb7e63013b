#pragma once
// The export runs: a channel mode asks where to save, creates the sound file
// writers and streams the samples of the opened recorder tracks into them in
// chunks of 10240 frames, stepping the progress animation after each chunk that
// more data follows.
//
// Convert returns nonzero when every file was written and 0 otherwise: cancelled
// save dialog, unknown type name, a project of unknown rate or word length, a file
// that would hold more than its header can state, or any failure. It shows no
// message; the caller reports the result, and can ask why it failed and which files
// it completed.

#include "export/ExportProgress.h"
#include "export/Factory.h"
#include "recorder/Errors.h"
#include "platform/FileSystem.h"
#include "platform/UserInterface.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CTrack;
class CUserData;

class CChannelType {
public:
    // The output files are written in `files`.
    CChannelType(platform::UserInterface& ui, CUserData& settings,
                 platform::FileSystem& files = platform::RealFileSystem());
    virtual ~CChannelType();
    CChannelType(const CChannelType&) = delete;
    CChannelType& operator=(const CChannelType&) = delete;

    // `typeName` is "WAVE" or "AIFF" (exactly); `tracks` are `trackCount` opened
    // readers in ascending track order.
    virtual int Convert(const std::string& typeName, const sobinder& record, int trackCount, CTrack* const* tracks);

    // Why the last Convert failed; nothing after a success.
    const std::optional<Refusal>& GetRefusal() const { return m_refusal; }
    // The full paths of the files the last Convert completed, in the order written;
    // after a failure, those completed before it.
    const std::vector<std::string>& GetWrittenFiles() const { return m_writtenFiles; }

    static constexpr int kChunkFrames = kExportChunkFrames;
    static constexpr int kSucceeded = 1;
    static constexpr int kFailed = 0;

    // Appends one converted chunk to the writer's data and counts it, unless the
    // data would outgrow what the header's 32-bit lengths can state. Throws
    // ExportError when the chunk does not fit or cannot be written.
    static void AppendChunk(CSndFormFile& writer, const std::vector<std::uint8_t>& chunk, std::uint64_t& dataBytes);

protected:
    // How the mode lays its tracks into files.
    virtual OutputLayout Layout() const = 0;
    // The save dialog's options that differ by mode (overwrite prompt, accept check).
    virtual platform::FileDialogRequest DialogOptions(int trackCount, CTrack* const* tracks) = 0;
    // The run after the user chose `path`; throws on failure, cleans up by its own objects.
    virtual void Run(const SoundFileType& type, const sobinder& record, int trackCount, CTrack* const* tracks,
                     const std::string& path) = 0;

    // Opens the writer's file. Throws ExportError naming the file: its folder is
    // missing, or it cannot be written.
    void OpenWriter(CSndFormFile& writer) const;
    // Writes the tracks (one channel each, in array order) into the opened writer:
    // header with 0, chunks until a chunk in which no track delivered a sample (that
    // chunk is written too), header with the length, close; then counts the file as
    // written. Throws ExportError.
    void ExportTracks(CSndFormFile& writer, CTrack* const* tracks, int trackCount, std::vector<std::uint8_t>& chunk,
                      CExportProgress& progress);
    // A chunk buffer for `channels` interleaved channels of the tracks' sample width.
    static std::vector<std::uint8_t> MakeChunkBuffer(const CTrack& firstTrack, int channels);
    // Throws ExportError with `reason` and `subject` unless `condition` holds.
    static void Require(bool condition, Reason reason = Reason::Unspecified, const std::string& subject = {});

    platform::UserInterface& m_ui;
    CUserData& m_settings;
    platform::FileSystem& m_files;

private:
    int Refuse(Reason reason, std::string subject = {}, std::string detail = {});
    // The track that makes an output file too large for a header of `type`, as the
    // tracks' chains describe them; nothing when every file fits.
    std::optional<std::string> FindTooLargeOutput(const SoundFileType& type, const sobinder& record, int trackCount,
                                                  CTrack* const* tracks) const;
    std::optional<std::string> AskForPath(const SoundFileType& type, platform::FileDialogRequest request);
    static std::uint64_t WriteChunks(CSndFormFile& writer, CTrack* const* tracks, int trackCount,
                                     std::vector<std::uint8_t>& chunk, CExportProgress& progress);

    std::optional<Refusal> m_refusal;
    std::vector<std::string> m_writtenFiles;
};
