#include "archive/ArchiveRun.h"

#include "archive/ArchiveFiles.h"
#include "archive/ArchiveManifest.h"
#include "archive/ArchiveProgress.h"
#include "archive/ArchiveSnapshot.h"
#include "archive/ArchiveTrack.h"
#include "archive/ArchiveVerify.h"
#include "archive/DiskWatch.h"
#include "archive/LostSamples.h"
#include "platform/Files.h"
#include "platform/Interruption.h"
#include "platform/Sha256.h"
#include "platform/Terminal.h"
#include "platform/Version.h"
#include "recorder/FnbTextFile.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace archive {

namespace {

constexpr const char* kDateFormat = "%Y-%m-%dT%H:%M:%S%z";
constexpr int kExitComplete = 0;
constexpr int kExitIncomplete = 1;
constexpr int kExitRefused = 2;
// Another archive is writing into the folder: refused as a second import onto one disk is.
constexpr int kExitBusy = 1;
constexpr const char* kInterruptedFailure = "stopped on request";

// "A-B": the first and the last byte of `range`.
std::string ByteSpan(const UnreadableRange& range)
{
    return std::to_string(range.offset) + "-" + std::to_string(range.offset + range.length - 1);
}

class Archiver {
public:
    Archiver(const ArchiveOptions& options, platform::FileSystem& files, ArchiveConsole& console)
        : m_options(options),
          m_files(files),
          m_console(console),
          m_copies(platform::JoinPath(options.outdir, kDiskCopyFolder)),
          m_progress(console.CreateProgressWindow()),
          m_diskFiles(RecorderFiles(files, options.disk)),
          m_watch(files, options.disk, m_diskFiles)
    {
        m_record.format = options.format;
        m_record.version = kProgramVersion;
        m_record.date = platform::LocalTimeText(kDateFormat);
    }

    int Run()
    {
        if (!m_files.CreateFolders(m_options.outdir)) {
            m_failure = m_options.outdir + ": the folder cannot be created";
            return Stop();
        }
        if (const auto refused = LockOutdir())
            return *refused;
        m_survey = SurveyDisk(m_files, m_options.disk, m_diskFiles);
        m_earlier = ReadEarlierRun();
        if (const auto stopped = GuardSnapshot())
            return *stopped;
        if (!MarkEarlierIncomplete())
            return Stop();
        NoteDiskFacts();
        m_progress.SetTotal(PlannedWork() * (m_options.verify ? 2 : 1));
        if (!PrepareFolders() || !CopyDiskFiles())
            return Stop();
        m_changedCopies = ChangedCopies();
        for (std::size_t i = 0; i < m_survey.projects.size(); ++i) {
            if (!ArchiveProject(i) || !WriteManifest())
                return Stop();
        }
        // The checksums first: a manifest that says "complete" stands only beside them.
        m_record.complete = true;
        if (!WriteChecksums() || !WriteManifest())
            return Stop();
        m_console.Listed(kManifestName);
        m_console.Listed(kChecksumListName);
        const auto verified = m_options.verify ? Verify() : Verification::Passed;
        if (verified == Verification::Stopped)
            return StopVerifying();
        Summarize(verified);
        return m_record.leftOut.empty() && verified == Verification::Passed ? kExitComplete : kExitIncomplete;
    }

private:
    // Holds the archive folder's writer lock for the rest of the run: a second archive
    // into it is refused before it changes anything. Returns the exit status when the
    // run goes no further.
    std::optional<int> LockOutdir()
    {
        platform::FolderLocking locking = m_files.LockFolder(m_options.outdir);
        switch (locking.state) {
        case platform::FolderLockState::Held:
            m_lock = std::move(locking.lock);
            break;
        case platform::FolderLockState::Unsupported:
            m_console.Warn("warning: " + m_options.outdir +
                           " cannot be locked on this file system; two archives into it at once are not kept apart");
            break;
        case platform::FolderLockState::HeldElsewhere:
            m_console.Warn("archive refused: another archive is writing into " + m_options.outdir +
                           "; nothing was changed. Run it again once that one has finished, or choose another folder");
            return kExitBusy;
        }
        return std::nullopt;
    }

    // A warning about the disk as a whole: on standard error and in the manifest.
    void WarnOfDisk(const Warning& warning)
    {
        m_record.warnings.push_back(Explain(warning));
        m_console.Warn("warning: " + m_record.warnings.back());
    }

    void LeaveOut(const std::string& text)
    {
        m_record.leftOut.push_back(text);
        m_console.Warn("left out: " + text);
    }

    void NoteDiskFacts()
    {
        if (!m_survey.indexOpened)
            LeaveOut(Explain(Refusal{MessageId::ConvertFailed, Reason::ProjectIndexMissing, m_options.disk, {}}));
        if (m_survey.listCutShort)
            LeaveOut(std::string(kBinderFileName) + ": the project list ends at a link outside the file; "
                                                    "projects after it cannot be found");
        if (m_survey.indexOpened && !m_survey.hasLeadInTable)
            WarnOfDisk(Warning{WarningKind::LeadInTableMissing, m_options.disk, {}});
        // An interrupted import's new text or moved-aside files: the archive leaves them
        // to the next import and says so.
        for (const auto& warning : InterruptedImportWarnings(m_files, m_options.disk))
            WarnOfDisk(warning);
        for (const auto& project : m_survey.projects) {
            if (project.refusal) {
                LeaveOut(project.folder + ": " + Explain(*project.refusal));
                continue;
            }
            for (const auto& track : project.tracks)
                NoteTrackFacts(project, track);
        }
    }

    // A track that cannot be read is left out once; one that can loses what the disk lacks.
    void NoteTrackFacts(const ProjectFacts& project, const TrackFacts& track)
    {
        if (track.refusal) {
            LeaveOut(project.folder + ": " + Explain(*track.refusal));
            return;
        }
        for (const auto& loss : track.losses)
            LeaveOut(project.folder + ": " + loss);
    }

    std::optional<EarlierRun> ReadEarlierRun()
    {
        m_earlierText = ReadWholeFile(m_files, platform::JoinPath(m_options.outdir, kManifestName));
        return m_earlierText ? ParseManifest(*m_earlierText) : std::nullopt;
    }

    // A complete earlier manifest is marked incomplete, on the device, before any file
    // of the archive changes: a run stopped part-way never leaves "complete" beside
    // files it had begun to redo.
    bool MarkEarlierIncomplete()
    {
        if (!m_earlier || !m_earlier->complete)
            return true;
        const auto marked = MarkedIncomplete(*m_earlierText);
        if (marked && WriteWholeFile(m_files, platform::JoinPath(m_options.outdir, kManifestName), *marked))
            return true;
        m_failure = std::string(kManifestName) + ": cannot be written";
        m_manifestFailed = true;
        return false;
    }

    // An archive of other disk contents is refused, or moved aside with --replace.
    // Returns the exit status when the run goes no further.
    std::optional<int> GuardSnapshot()
    {
        const auto difference = m_earlier ? SnapshotDifference(m_files, m_options.disk, m_survey, *m_earlier,
                                                               m_options.retries)
                                          : std::nullopt;
        if (!difference)
            return std::nullopt;
        if (!m_options.replace) {
            for (const auto& line : SnapshotRefusal(m_options.outdir, *difference, m_survey, *m_earlier))
                m_console.Warn(line);
            return kExitRefused;
        }
        const auto previous = MoveAside(m_files, m_options.outdir, *m_earlier, m_failure);
        if (!previous) {
            m_console.Warn("archive stopped: " + m_failure);
            return kExitIncomplete;
        }
        m_console.Warn("replaced: the earlier archive (" + *difference + ") moved into " + *previous + "/");
        m_earlier.reset();
        return std::nullopt;
    }

    static bool Writable(const ProjectFacts& project, const TrackFacts& track)
    {
        return !project.refusal && !track.refusal;
    }

    std::uint64_t PlannedWork()
    {
        std::uint64_t work = 0;
        for (const auto& name : m_survey.diskFiles)
            work += m_files.FileSize(platform::JoinPath(m_options.disk, name)).value_or(0);
        for (const auto& project : m_survey.projects) {
            for (const auto& track : project.tracks)
                work += Writable(project, track) ? track.expectedFrames * track.bytesPerSample : 0;
        }
        return work;
    }

    bool CreateFolder(const std::string& folder)
    {
        if (!m_files.CreateFolders(folder)) {
            m_failure = folder + ": the folder cannot be created";
            return false;
        }
        RemoveTemporaries(m_files, folder);
        return true;
    }

    // The archive folder, its copy folder without copies of files the disk no longer holds.
    bool PrepareFolders()
    {
        if (!CreateFolder(m_options.outdir) || !CreateFolder(m_copies))
            return false;
        for (const auto& entry : m_files.ListFolder(m_copies).value_or(std::vector<platform::FolderEntry>{})) {
            const bool onDisk = std::find(m_survey.diskFiles.begin(), m_survey.diskFiles.end(), entry.name) !=
                                m_survey.diskFiles.end();
            if (!onDisk && IsRecorderFileName(entry.name))
                m_files.Remove(platform::JoinPath(m_copies, entry.name));
        }
        return true;
    }

    // Why the earlier run's `file` at `path` is not whole; nothing when it is.
    std::optional<std::string> DamageOf(const std::string& path, const FileRecord& file)
    {
        const auto size = m_files.FileSize(path);
        if (!size)
            return "missing from the archive";
        if (*size != file.size)
            return "size differs from the manifest";
        const auto sum = platform::Sha256OfFile(m_files, path, m_progress.ItemCallback());
        if (!sum)
            return "cannot be read";
        if (*sum != file.sha256)
            return "checksum differs from the manifest";
        return std::nullopt;
    }

    // True when the earlier run's `file` at `path` is whole; else says why it is redone
    // and keeps that for --verify: the medium holding the archive damaged it.
    bool Intact(const std::string& relative, const std::string& path, const FileRecord& file)
    {
        const auto damage = DamageOf(path, file);
        if (damage) {
            m_console.Warn("redone: " + relative + ": " + *damage);
            m_damaged.push_back(relative + ": " + *damage + "; redone");
        }
        return !damage;
    }

    // True when the earlier run's copy of `name` is whole; the guard has found the
    // disk's file unchanged since. A copy with unreadable ranges is kept only to have
    // those read again: `holes` then points at them.
    bool KeepCopy(const std::string& name, const std::string& copy, DiskFileRecord& record,
                  const std::vector<UnreadableRange>*& holes)
    {
        if (!m_earlier || !m_earlier->diskFiles.contains(name))
            return false;
        const FileRecord& earlier = m_earlier->diskFiles.at(name);
        const std::string relative = RelativePath(kDiskCopyFolder, name);
        if (!Intact(relative, copy, earlier))
            return false;
        if (const auto damaged = m_earlier->damagedDiskFiles.find(name); damaged != m_earlier->damagedDiskFiles.end()) {
            holes = &damaged->second;
            return false;
        }
        record.copy = FileRecord{relative, earlier.size, earlier.sha256};
        ++m_kept;
        return true;
    }

    // Copies `name` afresh, or reads again only the `holes` of its earlier copy (afresh
    // when that copy cannot be read after all).
    CopyResult CopyFromDisk(const std::string& name, const std::vector<UnreadableRange>* holes)
    {
        CopyRequest request{platform::JoinPath(m_options.disk, name), platform::JoinPath(m_copies, name), holes,
                            m_options.retries, [this](const ReadCounts& counts) { ShowReads(counts); },
                            [this] { return StopRequested(); }};
        CopyResult result = CopyFile(m_files, request);
        if (holes && result.status == CopyResult::Status::EarlierCopyUnreadable) {
            request.holes = nullptr;
            result = CopyFile(m_files, request);
        }
        m_reads += result.counts;
        return result;
    }

    // The progress of the disk's reads: the bar's share, and what the reads cost so far.
    void ShowReads(const ReadCounts& file)
    {
        ReadCounts all = m_reads;
        all += file;
        m_progress.ItemDone(file.done);
        m_progress.ShowReads(all.read, all.unreadable, all.failedReads);
    }

    bool CopyDiskFile(const std::string& name)
    {
        const std::string copy = platform::JoinPath(m_copies, name);
        DiskFileRecord record{name, std::nullopt, std::nullopt};
        const std::vector<UnreadableRange>* holes = nullptr;
        m_progress.BeginItem(m_files.FileSize(platform::JoinPath(m_options.disk, name)).value_or(0));
        if (!KeepCopy(name, copy, record, holes)) {
            const CopyResult result = CopyFromDisk(name, holes);
            if (result.status == CopyResult::Status::WriteFailed) {
                m_failure = RelativePath(kDiskCopyFolder, name) + ": cannot be written";
                return false;
            }
            if (result.status == CopyResult::Status::SourceUnreadable) {
                record.error = name + ": cannot be read from the disk";
                LeaveOut(*record.error);
            } else {
                record.copy = FileRecord{RelativePath(kDiskCopyFolder, name), result.size, result.sha256};
                record.unreadable = result.unreadable;
                if (holes)
                    NoteRetried(name, *holes, result);
                NoteUnreadable(name, record.unreadable);
            }
        }
        m_progress.EndItem();
        if (record.copy)
            m_console.Listed(record.copy->file);
        m_record.diskFiles.push_back(std::move(record));
        return true;
    }

    // What reading an earlier copy's holes again gave.
    void NoteRetried(const std::string& name, const std::vector<UnreadableRange>& holes, const CopyResult& result)
    {
        std::uint64_t before = 0;
        for (const auto& hole : holes)
            before += hole.length;
        m_console.Warn("retried: " + name + ": " + std::to_string(before - result.counts.unreadable) + " of " +
                       std::to_string(before) + " bytes an earlier run could not read are read now");
    }

    // Each range of a disk file that stayed unreadable: on standard error and among
    // what the archive lacks. Ranges a stopped run did not come to are the next run's.
    void NoteUnreadable(const std::string& name, const std::vector<UnreadableRange>& ranges)
    {
        for (const auto& range : ranges) {
            if (range.tries == 0)
                continue;
            m_record.leftOut.push_back("unreadable: " + name + ": bytes " + ByteSpan(range) + " after " +
                                       std::to_string(range.tries) + " tries");
            m_console.Warn(m_record.leftOut.back());
        }
    }

    bool CopyDiskFiles()
    {
        for (const auto& name : m_survey.diskFiles) {
            if (StopRequested() || !CopyDiskFile(name)) {
                KeepEarlierRecords();
                WriteRescueMap();
                return false;
            }
        }
        const bool unchanged = DiskUnchanged();
        m_damage = DamageOfCopies();
        m_decoding = std::make_unique<SilencedReads>(m_files, SilencedBytes(m_survey, m_damage));
        return WriteRescueMap() && unchanged && WriteManifest();
    }

    // The earlier run's records of the disk files this run did not come to, so that
    // the manifest a stopped run leaves still knows their copies and holes.
    void KeepEarlierRecords()
    {
        if (!m_earlier)
            return;
        for (const auto& name : m_survey.diskFiles) {
            const bool recorded = std::any_of(m_record.diskFiles.begin(), m_record.diskFiles.end(),
                                              [&](const DiskFileRecord& disk) { return disk.name == name; });
            const auto copy = m_earlier->diskFiles.find(name);
            if (recorded || copy == m_earlier->diskFiles.end())
                continue;
            const auto damaged = m_earlier->damagedDiskFiles.find(name);
            m_record.diskFiles.push_back(DiskFileRecord{
                name, copy->second, std::nullopt,
                damaged == m_earlier->damagedDiskFiles.end() ? std::vector<UnreadableRange>{} : damaged->second});
        }
    }

    DamageMap DamageOfCopies() const
    {
        DamageMap damage;
        for (const auto& disk : m_record.diskFiles) {
            if (!disk.unreadable.empty())
                damage[disk.name] = disk.unreadable;
        }
        return damage;
    }

    // rescue-map.json when a copy has unreadable ranges; none, not even an earlier
    // run's, when no copy has.
    bool WriteRescueMap()
    {
        const std::string path = platform::JoinPath(m_options.outdir, kRescueMapName);
        const bool damaged = std::any_of(m_record.diskFiles.begin(), m_record.diskFiles.end(),
                                         [](const DiskFileRecord& disk) { return !disk.unreadable.empty(); });
        if (damaged ? WriteWholeFile(m_files, path, RescueMapText(m_record))
                    : m_files.KindOf(path) == platform::FileKind::None || m_files.Remove(path))
            return true;
        m_failure = std::string(kRescueMapName) + (damaged ? ": cannot be written" : ": cannot be removed");
        return false;
    }

    // True when every disk file still has the size and identity it had before the run
    // read it. Otherwise names each change and leaves the changed files out of the
    // record, so that the manifest never names a copy of a mixture and the next run
    // reads them afresh.
    bool DiskUnchanged()
    {
        const auto changes = m_watch.Changes();
        for (const auto& change : changes) {
            m_console.Warn("changed on the disk: " + change.name + ": " + change.what);
            std::erase_if(m_record.diskFiles, [&](const DiskFileRecord& disk) { return disk.name == change.name; });
        }
        if (changes.empty())
            return true;
        m_failure = "the disk changed while it was read; run the archive again once nothing writes to it";
        return false;
    }

    // The disk files whose copy is not the one the earlier run decoded from: copied
    // anew, first copied now, or no longer copied.
    std::set<std::string> ChangedCopies() const
    {
        std::set<std::string> changed;
        if (!m_earlier)
            return changed;
        for (const auto& disk : m_record.diskFiles) {
            const auto earlier = m_earlier->diskFiles.find(disk.name);
            if (!disk.copy || earlier == m_earlier->diskFiles.end() || earlier->second.sha256 != disk.copy->sha256)
                changed.insert(disk.name);
        }
        for (const auto& earlier : m_earlier->diskFiles) {
            const std::string& name = earlier.first;
            if (std::none_of(m_record.diskFiles.begin(), m_record.diskFiles.end(),
                             [&](const DiskFileRecord& disk) { return disk.name == name && disk.copy; }))
                changed.insert(name);
        }
        return changed;
    }

    static bool Plays(const TrackFacts& track, const std::string& name)
    {
        return std::any_of(track.segments.begin(), track.segments.end(), [&](const SegmentFacts& segment) {
            return platform::EqualsIgnoringCase(segment.dataFile, name);
        });
    }

    // Why the earlier run's file of `track` cannot be kept: another version wrote it,
    // or a copy it was decoded from is not the one made now (a copy of FNB.BIN, FNB.TXT
    // or HFS.BIN counts for every track); nothing when it can.
    std::optional<std::string> OutputStale(const TrackFacts& track) const
    {
        if (m_earlier->version != m_record.version)
            return "written by version " + m_earlier->version;
        for (const auto& name : m_changedCopies) {
            if (Plays(track, name) || IsIndexFileName(name))
                return "decoded from other disk copies";
        }
        return std::nullopt;
    }

    // True when the earlier run wrote this output from the same disk and it is whole.
    bool KeepOutput(const TrackFacts& track, const std::string& relative, const std::string& path,
                    TrackRecord& record)
    {
        if (!m_earlier || !m_earlier->outputs.contains(relative))
            return false;
        if (const auto stale = OutputStale(track)) {
            m_console.Warn("redone: " + relative + ": " + *stale);
            return false;
        }
        const EarlierRun::Output& earlier = m_earlier->outputs.at(relative);
        if (!Intact(relative, path, earlier.file))
            return false;
        record.output = earlier.file;
        record.fileSamples = earlier.fileSamples;
        record.warnings = earlier.warnings;
        ++m_kept;
        return true;
    }

    // Writes the output of one track; false when the archive cannot go on writing.
    bool WriteOutput(const ProjectFacts& project, const TrackFacts& track, const std::string& relative,
                     const std::string& path, TrackRecord& record)
    {
        const TrackJob job{m_copies, project.record, *project.format, track.track, track.virtualTrack, path,
                           m_options.format};
        const TrackOutcome outcome = WriteTrackOutput(*m_decoding, m_progress, job);
        if (StopRequested())
            return false;
        if (outcome.status == TrackOutcome::Status::OutputFailed) {
            m_failure = relative + ": " + Explain(outcome.refusal.value_or(Refusal{}));
            return false;
        }
        if (outcome.status == TrackOutcome::Status::LeftOut) {
            record.error = Explain(outcome.refusal.value_or(Refusal{}));
            LeaveOut(project.folder + ": " + *record.error);
            return true;
        }
        for (const auto& warning : outcome.warnings) {
            // A track that ends at a damaged link was already left out in part.
            const std::string text = Explain(warning);
            if (std::find(record.warnings.begin(), record.warnings.end(), text) != record.warnings.end())
                continue;
            record.warnings.push_back(text);
            m_console.Warn("warning: " + project.folder + ": " + text);
        }
        const auto size = m_files.FileSize(path);
        const auto sum = platform::Sha256OfFile(m_files, path);
        if (!size || !sum) {
            m_failure = relative + ": cannot be read back";
            return false;
        }
        record.output = FileRecord{relative, *size, *sum};
        record.fileSamples = outcome.frames;
        return true;
    }

    bool ArchiveTrack(const ProjectFacts& project, const TrackFacts& track, TrackRecord& record)
    {
        if (project.refusal || track.refusal) {
            record.error = Explain(project.refusal ? *project.refusal : *track.refusal);
            return true;
        }
        record.warnings = track.losses;
        const std::string name = TrackOutputName(track.track, track.virtualTrack, m_options.format);
        const std::string relative = RelativePath(project.folder, name);
        const std::string path = platform::JoinPath(platform::JoinPath(m_options.outdir, project.folder), name);
        m_progress.BeginItem(track.expectedFrames * track.bytesPerSample);
        record.silent = SilentSpans(track, LayoutOfFormat(project.format->wordLength), m_damage);
        const bool going =
            KeepOutput(track, relative, path, record) || WriteOutput(project, track, relative, path, record);
        if (going && record.output)
            NoteSilence(project, track, record);
        m_progress.EndItem();
        if (record.output)
            m_console.Listed(relative);
        return going;
    }

    // Each span of the track that is silent for bytes its data files lack: on standard
    // error on every run, among the track's warnings once.
    void NoteSilence(const ProjectFacts& project, const TrackFacts& track, TrackRecord& record)
    {
        for (const auto& span : record.silent) {
            const std::string text = Explain(SilenceWarning(track, span, project.format->rate.hz));
            if (std::find(record.warnings.begin(), record.warnings.end(), text) == record.warnings.end())
                record.warnings.push_back(text);
            m_console.Warn("warning: " + project.folder + ": " + text);
        }
    }

    bool ArchiveProject(std::size_t index)
    {
        const ProjectFacts& project = m_survey.projects[index];
        if (!CreateFolder(platform::JoinPath(m_options.outdir, project.folder)))
            return false;
        m_record.tracks.resize(index + 1);
        auto& records = m_record.tracks[index];
        records.resize(project.tracks.size());
        for (std::size_t t = 0; t < project.tracks.size(); ++t) {
            if (StopRequested() || !ArchiveTrack(project, project.tracks[t], records[t]))
                return false;
        }
        return true;
    }

    bool WriteManifest()
    {
        if (WriteWholeFile(m_files, platform::JoinPath(m_options.outdir, kManifestName),
                           ManifestText(m_survey, m_record)))
            return true;
        m_failure = std::string(kManifestName) + ": cannot be written";
        m_manifestFailed = true;
        return false;
    }

    bool WriteChecksums()
    {
        if (WriteWholeFile(m_files, platform::JoinPath(m_options.outdir, kChecksumListName), ChecksumList(m_record)))
            return true;
        m_failure = std::string(kChecksumListName) + ": cannot be written";
        return false;
    }

    enum class Verification { Passed, Mismatched, Stopped };

    Verification Verify()
    {
        const VerifyJob job{m_options.disk, m_options.outdir, &m_survey, &m_record, m_decoding.get()};
        std::vector<std::string> mismatches = m_damaged;
        const VerifyOutcome outcome = VerifyArchive(m_files, m_progress, job);
        mismatches.insert(mismatches.end(), outcome.mismatches.begin(), outcome.mismatches.end());
        for (const auto& mismatch : mismatches)
            m_console.Warn("verify: " + mismatch);
        if (outcome.stopped)
            return Verification::Stopped;
        return mismatches.empty() ? Verification::Passed : Verification::Mismatched;
    }

    // The window asked to stop while --verify read the archive back: the archive and
    // its manifest are complete, only their check did not finish.
    int StopVerifying()
    {
        m_interrupted = true;
        m_console.Warn(std::string("archive stopped: ") + kInterruptedFailure + " while it was verified; " +
                       "the archive is complete, its verification did not finish");
        return platform::kInterruptedExitStatus;
    }

    // True once the window was asked to stop the run, which then ends as a failure does.
    bool StopRequested()
    {
        m_interrupted = m_interrupted || m_progress.StopRequested();
        if (m_interrupted)
            m_failure = kInterruptedFailure;
        return m_interrupted;
    }

    // The archive cannot go on: says why, keeps what is done for a later run.
    int Stop()
    {
        const std::string failure = m_failure;
        m_record.complete = false;
        if (!m_manifestFailed)
            WriteManifest();
        m_console.Warn("archive stopped: " + failure);
        return m_interrupted ? platform::kInterruptedExitStatus : kExitIncomplete;
    }

    // "1 project", "3 projects".
    static std::string Counted(std::size_t count, const std::string& thing)
    {
        return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
    }

    void Summarize(Verification verified)
    {
        std::size_t outputs = 0;
        for (const auto& project : m_record.tracks) {
            outputs += static_cast<std::size_t>(
                std::count_if(project.begin(), project.end(), [](const TrackRecord& track) { return track.output; }));
        }
        const std::size_t copies = static_cast<std::size_t>(std::count_if(
            m_record.diskFiles.begin(), m_record.diskFiles.end(), [](const DiskFileRecord& disk) { return disk.copy; }));
        // --verify says that it read everything back, also when nothing differed.
        const std::string verification =
            !m_options.verify ? ""
            : verified == Verification::Passed ? "; verified: every file matches the disk"
                                               : "; verified: mismatches found";
        m_console.Warn("archived " + Counted(m_survey.projects.size(), "project") + ": " +
                       Counted(outputs, "track file") + ", " + Counted(copies, "disk file") + " (" +
                       std::to_string(m_kept) + " kept from an earlier run); " +
                       std::to_string(m_record.leftOut.size()) + " left out" + verification);
    }

    const ArchiveOptions& m_options;
    platform::FileSystem& m_files;
    ArchiveConsole& m_console;
    std::string m_copies;
    ArchiveProgress m_progress;
    std::vector<std::string> m_diskFiles;  // the recorder's files as listed before anything was read
    DiskWatch m_watch;
    std::unique_ptr<platform::FolderLock> m_lock;
    DiskSurvey m_survey;
    ArchiveRecord m_record;
    std::optional<std::string> m_earlierText;
    std::optional<EarlierRun> m_earlier;
    std::set<std::string> m_changedCopies;  // since the earlier run
    DamageMap m_damage;  // the copies' unreadable ranges
    std::unique_ptr<SilencedReads> m_decoding;  // reads the copies with their damaged groups silent
    ReadCounts m_reads;  // of the disk files done
    std::vector<std::string> m_damaged;  // earlier files found damaged, redone
    bool m_manifestFailed = false;
    bool m_interrupted = false;
    std::size_t m_kept = 0;
    std::string m_failure;
};

}  // namespace

int RunArchive(const ArchiveOptions& options, platform::FileSystem& files, ArchiveConsole& console)
{
    return Archiver(options, files, console).Run();
}

bool IsSameOrInside(const std::string& path, const std::string& folder)
{
    std::error_code error;
    const auto inner = std::filesystem::weakly_canonical(platform::PathFromUtf8(path), error);
    const auto outer = std::filesystem::weakly_canonical(platform::PathFromUtf8(folder), error);
    if (error)
        return false;
    const auto relative = inner.lexically_relative(outer);
    return !relative.empty() && *relative.begin() != "..";
}

std::optional<std::string> OutdirRefusal(const std::string& disk, const std::string& outdir,
                                         platform::FileSystem& files)
{
    if (IsSameOrInside(outdir, disk))
        return "the archive folder " + outdir + " lies inside the disk " + disk + "; the disk is never written";
    if (IsSameOrInside(disk, outdir))
        return "the disk " + disk + " lies inside the archive folder " + outdir;
    const auto kind = files.KindOf(outdir);
    if (kind != platform::FileKind::None && kind != platform::FileKind::Folder)
        return "not a folder: " + outdir;
    return std::nullopt;
}

}  // namespace archive
