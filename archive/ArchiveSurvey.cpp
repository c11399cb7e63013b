#include "archive/ArchiveSurvey.h"

#include "archive/ArchiveNames.h"
#include "export/ExportProgress.h"
#include "export/ProjectList.h"
#include "export/SndFormFile.h"
#include "platform/Files.h"
#include "recorder/BinderFile.h"
#include "recorder/Track.h"
#include "recorder/TrackFileName.h"

namespace archive {

namespace {

// The records of FNB.BIN as stored (names untouched), and whether the walk left the file.
struct StoredList {
    std::vector<sobinder> records;
    bool leftTheFile = false;
};

StoredList ReadStoredList(CBinderFile& binder)
{
    StoredList list;
    sobinder record{};
    for (bool more = binder.ReadFirstSong(record); more; more = binder.ReadNextSong(record))
        list.records.push_back(record);
    list.leftTheFile = binder.LeftTheFile();
    return list;
}

class TrackSurveyor {
public:
    TrackSurveyor(platform::FileSystem& files, const std::string& disk, CBinderFile& binder)
        : m_files(files), m_disk(disk), m_binder(binder), m_leadIns(platform::JoinPath(disk, kHfsFileName), files)
    {
    }

    bool HasLeadInTable() const { return m_leadIns.Exists(); }

    // The facts of one track and virtual track; nothing when it holds no recording.
    std::optional<TrackFacts> Survey(const ProjectFacts& project, int track, int virtualTrack)
    {
        CTrack reader(m_disk, project.record, track, virtualTrack, m_files);
        TrackFacts facts;
        facts.track = track;
        facts.virtualTrack = virtualTrack;
        facts.description = reader.Describe();
        soentry segment{};
        bool more = m_binder.ReadFirstSegment(project.record, track, virtualTrack, segment);
        if (!more && !(m_binder.LeftTheFile() && m_binder.HeadLiesInFile(project.record, track, virtualTrack)))
            return std::nullopt;
        for (; more; more = m_binder.ReadNextSegment(segment))
            facts.segments.push_back(FactsOf(project.record, segment, facts));
        if (m_binder.LeftTheFile())
            facts.losses.push_back(Explain(Warning{WarningKind::TrackEndedBadLink, facts.description, {}}));
        if (facts.segments.empty())
            facts.refusal = Refusal{MessageId::ConvertFailed, Reason::TrackNotRecorded, facts.description, {}};
        else if (!project.refusal)
            Measure(reader, facts);
        return facts;
    }

private:
    SegmentFacts FactsOf(const sobinder& record, const soentry& segment, TrackFacts& track)
    {
        SegmentFacts facts{segment.startGroup, segment.lengthGroups, m_leadIns.LeadIn(segment),
                           MakeTrackFileName(record.projectNumber, segment.fileSerial), false};
        facts.dataFileFound = platform::FindExactName(m_files, m_disk, facts.dataFile).has_value();
        if (!facts.dataFileFound)
            track.losses.push_back(
                Explain(Refusal{MessageId::ConvertFailed, Reason::DataFileMissing, track.description, facts.dataFile}));
        return facts;
    }

    static void Measure(CTrack& reader, TrackFacts& facts)
    {
        facts.refusal = reader.Open();
        if (facts.refusal)
            return;
        facts.endPosition = reader.GetEndPosition();
        CTrack* const tracks[] = {&reader};
        facts.expectedFrames = ExportFileFrames(tracks, 1);
        facts.bytesPerSample = reader.GetBytesPerSample();
        reader.Close();
    }

    platform::FileSystem& m_files;
    const std::string& m_disk;
    CBinderFile& m_binder;
    CLeadInTable m_leadIns;
};

void SurveyTracks(TrackSurveyor& surveyor, ProjectFacts& project)
{
    for (int virtualTrack = 1; virtualTrack <= kVirtualTrackCount; ++virtualTrack) {
        for (int track = 1; track <= static_cast<int>(kTrackCount); ++track) {
            if (auto facts = surveyor.Survey(project, track, virtualTrack))
                project.tracks.push_back(std::move(*facts));
        }
    }
}

}  // namespace

std::vector<std::string> RecorderFiles(platform::FileSystem& files, const std::string& disk)
{
    std::vector<std::string> names;
    for (const auto& entry : files.ListFolder(disk).value_or(std::vector<platform::FolderEntry>{})) {
        if (entry.kind == platform::FileKind::Regular && IsRecorderFileName(entry.name))
            names.push_back(entry.name);
    }
    return names;
}

DiskSurvey SurveyDisk(platform::FileSystem& files, const std::string& disk)
{
    return SurveyDisk(files, disk, RecorderFiles(files, disk));
}

DiskSurvey SurveyDisk(platform::FileSystem& files, const std::string& disk, std::vector<std::string> names)
{
    DiskSurvey survey;
    survey.diskFiles = std::move(names);
    CBinderFile binder(platform::JoinPath(disk, kBinderFileName), files);
    if (!binder.Exists() || !binder.OpenForRead())
        return survey;
    survey.indexOpened = true;
    const StoredList stored = ReadStoredList(binder);
    survey.listCutShort = stored.leftTheFile;
    std::vector<std::string> folders;
    for (std::size_t i = 0; i < stored.records.size(); ++i) {
        ProjectFacts project;
        // Unnamed projects carry the names the project list generates for them.
        project.record = ListedRecord(stored.records[i], static_cast<int>(i) + 1);
        project.rawName.assign(stored.records[i].songName, kSongNameSize);
        project.refusal = ProjectCodesRefusal(project.record);
        project.format = ExportFormatOf(project.record);
        folders.push_back(ProjectFolderName(project.record));
        survey.projects.push_back(std::move(project));
    }
    folders = UniqueNames(folders);
    TrackSurveyor surveyor(files, disk, binder);
    survey.hasLeadInTable = surveyor.HasLeadInTable();
    for (std::size_t i = 0; i < survey.projects.size(); ++i) {
        survey.projects[i].folder = folders[i];
        SurveyTracks(surveyor, survey.projects[i]);
    }
    binder.Close();
    return survey;
}

}  // namespace archive
