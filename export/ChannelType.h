#pragma once
// The export runs: a channel mode checks a run before any name is asked, asks where
// to save (or takes a path chosen without the dialog), creates the sound file writers
// and streams the samples of the opened recorder tracks into them in chunks of 10240
// frames, stepping the progress animation after each chunk that more data follows.
//
// Check refuses an unknown type name, a project of unknown rate or word length, no
// track, or a file that would hold more than its header can state. Convert refuses
// a failure of the run. Neither shows a message: the caller reports the outcome, and
// can ask which files the run completed.

#include "export/ExportProgress.h"
#include "export/Factory.h"
#include "recorder/Errors.h"
#include "platform/FileSystem.h"
#include "platform/UserInterface.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

class CTrack;
class CUserData;

// A file an export completed: its full path and the sample frames it holds.
struct ExportedFile {
    std::string path;
    std::uint64_t frames = 0;
};

// Why an export cannot go on: the page shows "Convert failed.".
Refusal ExportRefusal(Reason reason, std::string subject = {}, std::string detail = {});

class CChannelType {
public:
    // The output files are written in `files`.
    CChannelType(platform::UserInterface& ui, CUserData& settings,
                 platform::FileSystem& files = platform::RealFileSystem());
    virtual ~CChannelType();
    CChannelType(const CChannelType&) = delete;
    CChannelType& operator=(const CChannelType&) = delete;

    // Takes the run's inputs and checks them before any name is asked: `typeName` is
    // "WAVE" or "AIFF" (exactly); `tracks` are `trackCount` opened readers in ascending
    // track order, kept (not owned) for the run. Nothing when the run may go on.
    std::optional<Refusal> Check(const std::string& typeName, const sobinder& record, int trackCount,
                                 CTrack* const* tracks);
    // The save dialog of the checked run; the chosen folder becomes the work folder at
    // once, also when the run then fails. Nothing when the user cancelled.
    std::optional<std::string> AskForPath();
    // The save dialog's title: the tracks it exports.
    std::string DialogTitle() const;
    // The existing files that the run for `path` would replace, each path as its folder
    // spells it, in the order the run writes them.
    virtual std::vector<std::string> ExistingOutputs(const std::string& path) const = 0;
    // For a path chosen without the dialog: asks the questions the dialog asks before it
    // accepts a name that would replace existing files, one per file. The file kept at
    // the first No; nothing when every file may be replaced.
    std::optional<std::string> ConfirmReplacing(const std::string& path);
    // Writes the checked run's files for the chosen `path`. Nothing when every file was written.
    std::optional<Refusal> Convert(const std::string& path);

    // The files the last Convert completed, in the order written; after a failure,
    // those completed before it.
    const std::vector<ExportedFile>& GetWrittenFiles() const { return m_writtenFiles; }

    static constexpr int kChunkFrames = kExportChunkFrames;
    // How old a temporary of an output name must be before a run takes it for a
    // killed run's leftover.
    static constexpr std::chrono::hours kStaleTemporaryAge{1};

    // Appends one converted chunk to the writer's data and counts it, unless the
    // data would outgrow what the header's 32-bit lengths can state. Throws
    // ExportError when the chunk does not fit or cannot be written.
    static void AppendChunk(CSndFormFile& writer, const std::vector<std::uint8_t>& chunk, std::uint64_t& dataBytes);

protected:
    // How the mode lays its tracks into files.
    virtual OutputLayout Layout() const = 0;
    // The save dialog's options that differ by mode (overwrite prompt, accept check).
    virtual platform::FileDialogRequest DialogOptions() = 0;
    // The run after the user chose `path`; throws on failure, cleans up by its own objects.
    virtual void Run(const std::string& path) = 0;

    // Removes hidden temporaries for `path` that a killed run left: those last changed
    // more than kStaleTemporaryAge before this run started, so never a live run's.
    void RemoveStaleTemporaries(const std::string& path) const;
    // Opens the writer's file, after removing the stale temporaries for its path. Throws ExportError naming the file: its folder is
    // missing, or it cannot be written.
    void OpenWriter(CSndFormFile& writer) const;
    // Writes the tracks (one channel each, in array order) into the opened writer:
    // header with 0, chunks until a chunk in which no track delivered a sample (that
    // chunk is written too), header with the length, close; then counts the file as
    // written. Throws ExportError.
    void ExportTracks(CSndFormFile& writer, std::span<CTrack* const> tracks, std::vector<std::uint8_t>& chunk,
                      CExportProgress& progress);
    // A chunk buffer for `channels` interleaved channels of the project's sample width.
    std::vector<std::uint8_t> MakeChunkBuffer(int channels) const;
    // A new writer of the run's type for `path` holding `channels` channels; throws
    // ExportError when none can be made.
    std::unique_ptr<CSndFormFile> CreateWriter(const std::string& path, int channels) const;
    // A progress window for the run, measured by the mode's layout.
    CExportProgress MakeProgress() const;
    // Throws ExportError with `reason` and `subject` unless `condition` holds.
    static void Require(bool condition, Reason reason = Reason::Unspecified, const std::string& subject = {});

    platform::UserInterface& m_ui;
    CUserData& m_settings;
    platform::FileSystem& m_files;
    // The checked run's tracks.
    std::span<CTrack* const> m_tracks;

private:
    // The track that makes an output file too large for a header of the run's type,
    // as the tracks' chains describe them; nothing when every file fits.
    std::optional<std::string> FindTooLargeOutput() const;
    static std::uint64_t WriteChunks(CSndFormFile& writer, std::span<CTrack* const> tracks,
                                     std::vector<std::uint8_t>& chunk, CExportProgress& progress);

    const SoundFileType* m_type = nullptr;
    // The project's rate and word length, resolved from its codes once per run.
    std::optional<ProjectFormat> m_format;
    // The bytes of one sample of the project.
    std::uint64_t m_sampleBytes = 0;
    std::vector<ExportedFile> m_writtenFiles;
    std::filesystem::file_time_type m_runStarted{};
};
