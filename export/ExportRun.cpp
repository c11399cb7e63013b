#include "export/ExportRun.h"

#include "export/ChannelType.h"
#include "export/ProjectCheck.h"
#include "export/MonoType.h"
#include "export/StereoType.h"
#include "platform/Files.h"
#include "platform/UserInterface.h"
#include "recorder/FnbTextFile.h"
#include "recorder/Track.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr const char* kTrackCheckText = "Track check...";
constexpr const char* kWrittenIn = "Written in ";
constexpr const char* kCrLf = "\r\n";

using TrackList = std::vector<std::unique_ptr<CTrack>>;

// Opens the ticked tracks in ascending track order, stepping the progress window
// after each of the eight positions and asking it before each track whether to stop
// (each opening walks a chain on a disk that may be slow). Why the first that cannot
// be opened failed, or that the run was stopped, or nothing; the tracks created so
// far are in `tracks` either way.
std::optional<Refusal> OpenTracks(const ExportSelection& selection, platform::FileSystem& files, TrackList& tracks,
                                  platform::ProgressWindow* progress)
{
    for (std::size_t index = 0; index < kTrackCount; ++index) {
        if (selection.virtualTracks[index] != 0) {
            if (progress && progress->StopRequested())
                return ExportRefusal(Reason::Interrupted, selection.moFolder);
            tracks.push_back(std::make_unique<CTrack>(selection.moFolder, selection.project, static_cast<int>(index) + 1,
                                                      selection.virtualTracks[index], files));
            if (auto refusal = tracks.back()->Open())
                return refusal;
        }
        if (progress)
            progress->StepAnimation();
    }
    if (tracks.empty())
        return ExportRefusal(Reason::NoTrackChosen);
    return std::nullopt;
}

// The folder an export wrote into: all its files go into the folder of the chosen name.
std::string WrittenFolder(const std::vector<ExportedFile>& files)
{
    return files.empty() ? std::string() : platform::FolderPart(files.front().path);
}

// "Written in FOLDER:", then the name of each file, one to a line.
std::string WrittenText(const std::vector<ExportedFile>& files)
{
    std::string text = kWrittenIn + WrittenFolder(files) + ":";
    for (const auto& file : files)
        text += kCrLf + platform::NamePart(file.path);
    return text;
}

}  // namespace

CExportRun::CExportRun(platform::UserInterface& ui, CUserData& settings, const ExportSelection& selection,
                       platform::FileSystem& files)
    : m_ui(ui),
      m_settings(settings),
      m_selection(selection),
      m_files(files),
      m_wait(std::make_unique<platform::WaitCursor>(ui))
{
}

CExportRun::~CExportRun()
{
    CloseTracks();
}

std::optional<Refusal> CExportRun::Check()
{
    // A disk changed since the project was chosen would be read with the old record.
    if (ProjectGoneFromDisk(platform::JoinPath(m_selection.moFolder, kBinderFileName), m_selection.project, m_files))
        m_result.refusal = ExportRefusal(Reason::ProjectNotOnDisk);
    else
        m_result.refusal = CheckTracks();
    return m_result.refusal;
}

std::optional<Refusal> CExportRun::CheckTracks()
{
    auto progress = m_ui.CreateProgressWindow();
    if (progress) {
        progress->SetText(kTrackCheckText);
        // Opening a few tracks is quick: a window that flashes up just before the save
        // dialog would only startle.
        progress->ShowWhenSlow();
    }
    if (auto refusal = OpenTracks(m_selection, m_files, m_tracks, progress.get()))
        return refusal;
    if (m_selection.stereo)
        m_mode = std::make_unique<CStereoType>(m_ui, m_settings, m_files);
    else
        m_mode = std::make_unique<CMonoType>(m_ui, m_settings, m_files);
    progress.reset();
    for (const auto& track : m_tracks)
        m_opened.push_back(track.get());
    return m_mode->Check(m_selection.fileType, m_selection.project, static_cast<int>(m_opened.size()),
                         m_opened.data());
}

std::string CExportRun::DefaultExtension() const
{
    return FindSoundFileType(m_selection.fileType)->defaultExtension;
}

std::optional<std::string> CExportRun::AskForPath()
{
    auto path = m_mode->AskForPath();
    m_result.cancelled = !path;
    if (!path)
        m_result.refusal = ExportRefusal(Reason::NoFileName);
    return path;
}

bool CExportRun::ConfirmReplacing(const std::string& path)
{
    m_result.keptFile = m_mode->ConfirmReplacing(path);
    if (m_result.keptFile)
        m_result.refusal = ExportRefusal(Reason::NoFileName);
    return !m_result.keptFile;
}

void CExportRun::Write(const std::string& path)
{
    m_result.refusal = m_mode->Convert(path);
    m_result.succeeded = !m_result.refusal;
}

ExportResult CExportRun::Finish()
{
    if (m_mode) {
        m_result.files = m_mode->GetWrittenFiles();
        m_result.warnings = Warnings();
    }
    CloseTracks();
    m_wait.reset();
    if (m_result.succeeded)
        ShowSuccess();
    // A stop the front end says itself; a cancelled dialog needs no word.
    else if (!m_result.cancelled && (!m_result.refusal || m_result.refusal->reason != Reason::Interrupted))
        ShowRefusal(m_ui, m_result.refusal.value_or(ExportRefusal(Reason::Unspecified)), m_result.warnings);
    return m_result;
}

void CExportRun::ShowSuccess()
{
    m_ui.ShowInformation(MessageId::ConvertSucceeded,
                         {ResultDetail(WrittenText(m_result.files), m_result.warnings), WrittenFolder(m_result.files)});
}

// A missing lead-in table and the files an interrupted import left, once for the
// run, then each track's: a long silence, an early end.
std::vector<Warning> CExportRun::Warnings() const
{
    std::vector<Warning> warnings;
    if (std::any_of(m_tracks.begin(), m_tracks.end(), [](const auto& track) { return !track->HasLeadInTable(); }))
        warnings.push_back({WarningKind::LeadInTableMissing, m_selection.moFolder, {}});
    const auto left = InterruptedImportWarnings(m_files, m_selection.moFolder);
    warnings.insert(warnings.end(), left.begin(), left.end());
    for (const auto& track : m_tracks) {
        const auto own = track->GetWarnings();
        warnings.insert(warnings.end(), own.begin(), own.end());
    }
    return warnings;
}

void CExportRun::CloseTracks()
{
    for (const auto& track : m_tracks)
        track->Close();
    m_tracks.clear();
    m_opened.clear();
}

ExportResult RunExport(platform::UserInterface& ui, CUserData& settings, const ExportSelection& selection,
                       platform::FileSystem& files)
{
    CExportRun run(ui, settings, selection, files);
    if (!run.Check()) {
        if (const auto path = run.AskForPath())
            run.Write(*path);
    }
    return run.Finish();
}
