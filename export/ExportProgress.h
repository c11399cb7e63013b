#pragma once
// The progress of an export run: the animation steps after every chunk that more
// data follows, and the frames written are measured against the frames the run will
// write, as the tracks' segment chains describe them.

#include "platform/UserInterface.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class CTrack;

// The frames in one chunk of an output file.
inline constexpr int kExportChunkFrames = 10240;

// The frames of one output file holding `tracks`: whole chunks up to the end of its
// longest track (CTrack::GetEndPosition), then the final silent chunk.
std::uint64_t ExportFileFrames(CTrack* const* tracks, int trackCount);

// The bytes of sample data in the file holding `tracks`: its frames, each one sample
// of `sampleBytes` per track.
std::uint64_t ExportFileDataBytes(CTrack* const* tracks, int trackCount, std::uint64_t sampleBytes);

// How a run lays its tracks into files: Mono writes one file per track, Stereo one
// file holding every track.
enum class OutputLayout { FilePerTrack, OneFile };

// The tracks of each output file of a run, in the order the run writes the files.
std::vector<std::span<CTrack* const>> OutputFilesOf(CTrack* const* tracks, int trackCount, OutputLayout layout);

// The frames of all output files of a run.
std::uint64_t ExportFrameTotal(CTrack* const* tracks, int trackCount, OutputLayout layout);

class CExportProgress {
public:
    // Takes the window (null: nothing is shown) and gives it the run's total.
    CExportProgress(std::unique_ptr<platform::ProgressWindow> window, std::uint64_t totalFrames);

    void Show();
    // A file begins that will hold `frames` frames.
    void BeginFile(std::uint64_t frames);
    // A chunk of the file was written and more data follows.
    void ChunkWritten();
    // The file's last chunk was written: the file counts in full, also when a track
    // ended sooner than its chain said.
    void FileWritten();
    // True once the window was asked to stop the run.
    bool StopRequested() const;

private:
    void ReportDone(std::uint64_t done);

    std::unique_ptr<platform::ProgressWindow> m_window;
    std::uint64_t m_filesDone = 0;   // frames of the files written before this one
    std::uint64_t m_fileFrames = 0;  // frames the current file will hold
    std::uint64_t m_fileWritten = 0;
};
