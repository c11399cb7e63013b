#include "archive/ArchiveTrack.h"

#include "app/RegUserData.h"
#include "app/SoundFileKinds.h"
#include "archive/ArchiveFiles.h"
#include "archive/ArchivePort.h"
#include "archive/TrackSamples.h"
#include "convert/FlacFile.h"
#include "convert/SampleWords.h"
#include "export/ExportProgress.h"
#include "export/ExportRun.h"
#include "platform/Files.h"
#include "recorder/Formats.h"
#include "recorder/Track.h"

namespace archive {

namespace {

// Refusals that come from the output side (the archive cannot go on writing) rather
// than from the disk (the track is left out).
bool IsOutputFault(Reason reason)
{
    switch (reason) {
    case Reason::OutputWriteFailed:
    case Reason::OutputFolderMissing:
    case Reason::OutOfMemory:
    case Reason::Unspecified:
    case Reason::Interrupted:
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

// The export of the job's one track into one file under exactly `path`.
ExportResult ExportTrack(platform::FileSystem& files, ArchiveProgress& progress, const TrackJob& job,
                         const std::string& path)
{
    ExportSelection selection;
    selection.moFolder = job.diskFolder;
    selection.project = job.record;
    selection.virtualTracks[static_cast<std::size_t>(job.track) - 1] = job.virtualTrack;
    selection.stereo = true;  // one file under the given name; a single track gives one channel
    selection.fileType = KindEntry(SoundFileKind::Wave).typeName;
    ArchivePort port(progress, job.projectFormat.wordLength.bytesPerSample);
    CNoUserData settings;
    CExportRun run(port, settings, selection, files);
    if (!run.Check())
        run.Write(path);
    return run.Finish();
}

TrackOutcome WriteWave(platform::FileSystem& files, ArchiveProgress& progress, const TrackJob& job)
{
    const std::string written = platform::JoinPath(platform::FolderPart(job.outputPath),
                                                   TemporaryNameFor(platform::NamePart(job.outputPath)));
    const ExportResult result = ExportTrack(files, progress, job, written);
    if (!result.succeeded) {
        files.Remove(written);
        return Failed(result.refusal.value_or(Refusal{}));
    }
    // The export synced the file under its hidden name; the folder is synced once it
    // took its own, or a power cut could take back a file the manifest names.
    if (!MoveIntoPlace(files, written, job.outputPath) || !files.SyncFolder(platform::FolderPart(job.outputPath)))
        return WriteFailed(job.outputPath);
    TrackOutcome outcome;
    for (const auto& warning : result.warnings) {
        // A missing lead-in table is a fact of the disk, reported once for it.
        if (warning.kind != WarningKind::LeadInTableMissing)
            outcome.warnings.push_back(warning);
    }
    outcome.frames = result.files.front().frames;
    return outcome;
}

TrackOutcome WriteFlac(platform::FileSystem& files, ArchiveProgress& progress, const TrackJob& job)
{
    CTrack track(job.diskFolder, job.record, job.track, job.virtualTrack, files);
    if (auto refusal = track.Open())
        return Failed(std::move(*refusal));
    const auto width = static_cast<std::size_t>(track.GetBytesPerSample());
    TemporaryFile output(files, job.outputPath);
    convert::FlacWriter writer(std::move(output.File()), job.projectFormat.rate.hz,
                               job.projectFormat.wordLength.fileBits, 1);
    if (!writer.IsOpen())
        return WriteFailed(job.outputPath);
    std::vector<std::uint8_t> chunk;
    std::vector<std::int32_t> samples(kExportChunkFrames);
    TrackOutcome outcome;
    const bool complete = ReadExportChunks(track, chunk, [&](const std::uint8_t* bytes, std::size_t frames) {
        convert::BigEndianToInt32(bytes, width, frames, samples.data());
        outcome.frames += frames;
        progress.ItemDone(outcome.frames * width);
        return !progress.StopRequested() && writer.Write(samples.data(), frames);
    });
    track.Close();
    if (!complete || !writer.Close() || !output.Commit())
        return WriteFailed(job.outputPath);
    outcome.warnings = track.GetWarnings();
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
