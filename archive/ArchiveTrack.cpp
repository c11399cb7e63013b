#include "archive/ArchiveTrack.h"

#include "app/RegUserData.h"
#include "archive/ArchiveFiles.h"
#include "archive/ArchivePort.h"
#include "convert/FlacFile.h"
#include "archive/TrackSamples.h"
#include "export/ExportProgress.h"
#include "export/ExportRun.h"
#include "export/MonoFileDialog.h"
#include "export/WaveFile.h"
#include "platform/Files.h"
#include "recorder/Formats.h"
#include "recorder/Track.h"

namespace archive {

namespace {

constexpr const char* kWaveTypeName = "WAVE";
constexpr const char* kWaveExtension = ".wav";

// Refusals that come from the output side (the archive cannot go on writing) rather
// than from the disk (the track is left out).
bool IsOutputFault(Reason reason)
{
    switch (reason) {
    case Reason::OutputWriteFailed:
    case Reason::OutputFolderMissing:
    case Reason::NoFileName:
    case Reason::OutputNameWithoutDot:
    case Reason::OutOfMemory:
    case Reason::Unspecified:
        return true;
    default:
        return false;
    }
}

TrackOutcome Failed(Refusal refusal)
{
    const auto status = IsOutputFault(refusal.reason) ? TrackOutcome::Status::OutputFailed
                                                       : TrackOutcome::Status::LeftOut;
    return {status, std::move(refusal), {}, 0};
}

TrackOutcome WriteFailed(const std::string& path)
{
    return Failed(Refusal{MessageId::ConvertFailed, Reason::OutputWriteFailed, path, {}});
}

int BytesPerSample(const sobinder& record)
{
    return static_cast<int>(WordLengthOfCode(record.wordLength)->bytesPerSample);
}

TrackOutcome WriteWave(platform::FileSystem& files, ArchiveProgress& progress, const TrackJob& job)
{
    const int width = BytesPerSample(job.record);
    // The Mono export names its file base + track + virtual track + extension.
    const std::string folder = platform::FolderPart(job.outputPath);
    const std::string answer =
        platform::JoinPath(folder, TemporaryNameFor(platform::NamePart(job.outputPath)) + "-") + kWaveExtension;
    const std::string written = MonoOutputName(SplitMonoPath(answer), job.track, job.virtualTrack);

    ExportSelection selection;
    selection.moFolder = job.diskFolder;
    selection.project = job.record;
    selection.virtualTracks[static_cast<std::size_t>(job.track) - 1] = job.virtualTrack;
    selection.fileType = kWaveTypeName;
    ArchivePort port(progress, static_cast<std::uint64_t>(width));
    port.SetDialogAnswer(answer);
    CNoUserData settings;
    const ExportResult result = RunExport(port, settings, selection, files);
    if (!result.succeeded) {
        files.Remove(written);
        return Failed(result.refusal.value_or(Refusal{}));
    }
    if (!MoveIntoPlace(files, written, job.outputPath))
        return WriteFailed(job.outputPath);
    TrackOutcome outcome;
    for (const auto& warning : result.warnings) {
        // A missing lead-in table is a fact of the disk, reported once for it.
        if (warning.kind != WarningKind::LeadInTableMissing)
            outcome.warnings.push_back(warning);
    }
    const std::uint64_t size = files.FileSize(job.outputPath).value_or(CWaveFile::kHeaderSize);
    outcome.frames = (size - CWaveFile::kHeaderSize) / static_cast<std::uint64_t>(width);
    return outcome;
}

TrackOutcome WriteFlac(platform::FileSystem& files, ArchiveProgress& progress, const TrackJob& job)
{
    CTrack track(job.diskFolder, job.record, job.track, job.virtualTrack, files);
    if (!track.Open())
        return Failed(track.GetOpenRefusal());
    const auto width = static_cast<std::size_t>(track.GetBytesPerSample());
    TemporaryFile output(files, job.outputPath);
    convert::FlacWriter writer(std::move(output.File()), RateOfCode(job.record.sampleRate)->hz,
                      WordLengthOfCode(job.record.wordLength)->fileBits);
    if (!writer.IsOpen())
        return WriteFailed(job.outputPath);
    std::vector<std::uint8_t> chunk;
    std::vector<std::int32_t> samples(kExportChunkFrames);
    TrackOutcome outcome;
    const bool complete = ReadExportChunks(track, chunk, [&](const std::uint8_t* bytes, std::size_t frames) {
        BigEndianToInt32(bytes, width, frames, samples.data());
        outcome.frames += frames;
        progress.ItemDone(outcome.frames * width);
        return writer.Write(samples.data(), frames);
    });
    track.Close();
    if (!complete || !writer.Close() || !output.Commit())
        return WriteFailed(job.outputPath);
    if (track.GetEndWarning())
        outcome.warnings.push_back(*track.GetEndWarning());
    return outcome;
}

}  // namespace

TrackOutcome WriteTrackOutput(platform::FileSystem& files, ArchiveProgress& progress, const TrackJob& job)
{
    if (job.format == ArchiveFormat::Flac)
        return WriteFlac(files, progress, job);
    return WriteWave(files, progress, job);
}

}  // namespace archive
