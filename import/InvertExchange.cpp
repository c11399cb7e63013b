#include "import/InvertExchange.h"

#include "app/Document.h"
#include "platform/Files.h"
#include "platform/UserInterface.h"
#include "recorder/BinderFile.h"
#include "recorder/FnbTextFile.h"
#include "recorder/Formats.h"
#include "recorder/TrackFileName.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <string>

namespace {

constexpr const char* kTrack1 = "Track 1";
constexpr const char* kProjectSubject = "project ";
constexpr const char* kProjectWritten = "Project ";
constexpr const char* kTakeOver = " is on the disk; the recorder takes it over the next time it reads the disk.";

[[noreturn]] void Fail(MessageId id, Reason reason, const std::string& subject, std::string detail = {})
{
    throw ImportError{id, reason, subject, std::move(detail)};
}

// Fails with `id` for the reason a lower layer kept.
[[noreturn]] void Fail(MessageId id, const Refusal& why)
{
    Fail(id, why.reason, why.subject, why.detail);
}

// The refusal of the exception being handled; other exceptions go on.
Refusal CurrentRefusal()
{
    try {
        throw;
    } catch (const ImportError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return Refusal{MessageId::InsideError, Reason::OutOfMemory, {}, {}};
    } catch (const std::exception&) {
        return Refusal{MessageId::InsideError, Reason::Unspecified, {}, {}};
    }
}

void Append(std::vector<Warning>& warnings, std::vector<Warning> more)
{
    warnings.insert(warnings.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

// The lock that keeps other imports off the disk while this one writes. Held by
// another: refused. A disk the system cannot lock is written to without one, with a warning.
std::unique_ptr<platform::FolderLock> LockDisk(platform::FileSystem& files, const std::string& moFolder,
                                               std::vector<Warning>& warnings)
{
    platform::FolderLocking locking = files.LockFolder(moFolder);
    if (locking.state == platform::FolderLockState::HeldElsewhere)
        Fail(MessageId::ConvertFailed, Reason::DiskInUse, moFolder);
    if (locking.state == platform::FolderLockState::Unsupported)
        warnings.push_back({WarningKind::DiskNotLocked, moFolder, {}});
    return std::move(locking.lock);
}

// Whether FNB.BIN lists a project with `number`; a list that cannot be read
// fails the import, since nothing can then be said about the files on the disk.
bool ProjectIsListed(platform::FileSystem& files, const std::string& binderPath, unsigned number)
{
    CBinderFile binder(binderPath, files);
    sobinder song{};
    if (!binder.Exists())
        Fail(MessageId::ConvertFailed, Reason::ProjectIndexMissing, binderPath);
    if (!binder.OpenForRead() || !binder.ReadFirstSong(song))
        Fail(MessageId::ConvertFailed, Reason::ProjectIndexUnreadable, binder.GetPath());
    do {
        if (song.projectNumber == number)
            return true;
    } while (binder.ReadNextSong(song));
    return false;
}

}  // namespace

CInvertExchange::CInvertExchange(TrackSlots& tracks, COVFtoWAVEDoc& doc, platform::UserInterface& ui,
                                 platform::FileSystem& files)
    : m_pTracks(tracks), m_pDoc(doc), m_ui(ui), m_files(files)
{
}

CInvertExchange::~CInvertExchange() = default;

ImportResult CInvertExchange::Run()
{
    m_pDoc.StampTime();
    ImportResult result = Import();
    if (m_teller)
        m_teller(result);
    if (result.succeeded)
        m_ui.ShowInformation(MessageId::ConvertSucceeded,
                             {ResultDetail(kProjectWritten + result.projectNumber + kTakeOver, result.warnings), {}});
    else if (result.refusal.reason != Reason::Interrupted)  // the front end says it was stopped
        ShowRefusal(m_ui, result.refusal, result.warnings);
    return result;
}

ImportResult CInvertExchange::Import()
{
    ImportResult result;
    // Declared so that they go in the reverse order: the project information file
    // (and its temporary file) first, then the wait cursor, then the progress window,
    // and the disk's lock once nothing more is written.
    std::unique_ptr<platform::FolderLock> diskLock;
    std::unique_ptr<platform::ProgressWindow> window;
    const platform::WaitCursor wait(m_ui);
    std::optional<COrvoFnbTextFile> textFile;
    bool writing = false;
    try {
        diskLock = LockDisk(m_files, m_pDoc.m_strMoFolder, result.warnings);
        textFile.emplace(m_pDoc.m_strMoFolder, m_pDoc.GetNewProjectName(), m_pDoc.GetTimeStamp(), m_files);
        window = m_ui.CreateProgressWindow();
        if (window)
            window->Show();
        CImportProgress progress(window.get(), SharesOf());
        WriteSongBlock(*textFile, result.warnings);
        const std::uint64_t regionCount = ScanTracks(progress, result.warnings);
        if (regionCount == 0)
            Fail(MessageId::ConvertFailed, Reason::NoSoundInSources, {});
        if (!textFile->HasRoomForTracks(regionCount))
            Fail(MessageId::FnbFull, Reason::FnbTextFull, m_pDoc.m_strMoFolder);
        const std::vector<std::string> replaced = ReplaceableDataFiles(*textFile, regionCount);
        writing = true;
        for (const auto& path : replaced)
            textFile->MoveAside(path);
        ConvertTracks(*textFile, progress);
        // The last chance to stop: a request from here on is ignored, the commit goes through.
        StopIfRequested(progress);
        Append(result.warnings, textFile->Commit());
        result.succeeded = true;
        result.projectNumber = textFile->GetNewProjectNumber();
        result.dataFiles = textFile->GetDescribedFiles();
    } catch (...) {
        result.refusal = CurrentRefusal();
        if (writing)
            Append(result.warnings, textFile->RemoveCreatedFiles());
    }
    return result;
}

SourceShares CInvertExchange::SharesOf() const
{
    SourceShares shares{};
    for (std::size_t index = 0; index < m_pTracks.size(); ++index) {
        const CPCSoundFile* reader = m_pTracks[index].GetReader();
        if (reader && !m_pTracks[index].GetSourcePath().empty())
            shares[index] = reader->GetDataSize();
    }
    return shares;
}

void CInvertExchange::WriteSongBlock(COrvoFnbTextFile& textFile, std::vector<Warning>& warnings) const
{
    // The project's format is that of its lowest-numbered track (Track 1, unless the
    // front end let it stay empty); a rate or word length without a code cannot be described.
    const auto used = std::find_if(m_pTracks.begin(), m_pTracks.end(),
                                   [](const COrvoTrack& slot) { return slot.GetReader() != nullptr; });
    const CPCSoundFile* first = used == m_pTracks.end() ? nullptr : used->GetReader();
    if (!first)
        Fail(MessageId::ConvertFailed, Reason::Track1Missing, kTrack1);
    const auto rate = RateOfHz(first->GetSampleRate());
    if (!rate)
        Fail(MessageId::ConvertFailed, Reason::UnsupportedRate, first->GetFileName(),
             std::to_string(first->GetSampleRate()));
    const auto wordLength = WordLengthOfBits(first->GetBitsPerSample());
    if (!wordLength)
        Fail(MessageId::ConvertFailed, Reason::UnsupportedBits, first->GetFileName(),
             std::to_string(first->GetBitsPerSample()));
    if (const auto refusal = textFile.WriteSongBlock(rate->code, wordLength->code))
        Fail(MessageId::ConvertFailed, *refusal);
    if (!rate->exportable)
        warnings.push_back({WarningKind::RateNotExportable, kProjectSubject + textFile.GetNewProjectNumber(),
                            std::to_string(rate->hz)});
}

void CInvertExchange::ForEachUsedSlot(CImportProgress& progress, const SlotAction& action)
{
    for (std::size_t index = 0; index < m_pTracks.size(); ++index) {
        CPCSoundFile* reader = m_pTracks[index].GetReader();
        if (!reader)
            continue;
        progress.StepAnimation();
        StopIfRequested(progress);
        if (m_pTracks[index].GetSourcePath().empty())
            continue;
        progress.Pass(index, [&](platform::ProgressWindow* window) {
            action(static_cast<int>(index), *reader, window);
        });
    }
}

std::uint64_t CInvertExchange::ScanTracks(CImportProgress& progress, std::vector<Warning>& warnings)
{
    std::uint64_t regionCount = 0;
    ForEachUsedSlot(progress, [&](int trackIndex, CPCSoundFile& reader, platform::ProgressWindow* window) {
        if (const auto refusal = reader.ScanRegions(window)) {
            // A header refused since its check: a kind that shows its reader's refusal
            // shows it before the run fails.
            if (refusal->id != MessageId::InsideError && ShowsRefusal(reader.GetKind()))
                ShowRefusal(m_ui, *refusal);
            Fail(MessageId::InsideError, *refusal);
        }
        regionCount += reader.GetRegions().size();
        if (reader.GetMissingBytes() > 0)
            warnings.push_back({WarningKind::SourceShorterThanHeader, reader.GetFileName(),
                                std::to_string(reader.GetMissingBytes())});
        if (reader.GetRegions().empty())
            warnings.push_back({WarningKind::SilentSourceLeftOut, reader.GetFileName(),
                                "Track " + std::to_string(trackIndex + 1)});
    });
    return regionCount;
}

void CInvertExchange::ConvertTracks(COrvoFnbTextFile& textFile, CImportProgress& progress)
{
    ForEachUsedSlot(progress, [&](int trackIndex, CPCSoundFile& reader, platform::ProgressWindow* window) {
        if (const auto refusal = reader.ConvertRegions(trackIndex, textFile, window))
            Fail(MessageId::ConvertFailed, *refusal);
    });
}

void CInvertExchange::StopIfRequested(const CImportProgress& progress) const
{
    if (progress.StopRequested())
        Fail(MessageId::ConvertFailed, Reason::Interrupted, m_pDoc.m_strMoFolder);
}

std::vector<std::string> CInvertExchange::ReplaceableDataFiles(const COrvoFnbTextFile& textFile,
                                                               std::uint64_t fileCount) const
{
    const std::string& folder = textFile.GetMoFolder();
    const std::string& number = textFile.GetNewProjectNumber();
    const auto entries = m_files.ListFolder(folder).value_or(std::vector<platform::FolderEntry>());
    std::vector<std::string> existing;
    for (std::uint64_t i = 0; i < fileCount; ++i) {
        const auto name = MakeTrackFileName(number, static_cast<unsigned>(textFile.GetTrackSerial() + i));
        if (const auto found = platform::ExactNameAmong(entries, name))
            existing.push_back(platform::JoinPath(folder, *found));
    }
    // Files left by an interrupted import of a project the recorder never took
    // over are replaced; files of a listed project are not.
    if (!existing.empty() && ProjectIsListed(m_files, m_pDoc.m_strFnbPath, static_cast<unsigned>(std::stoi(number))))
        Fail(MessageId::ConvertFailed, Reason::ListedProjectFiles, m_pDoc.m_strMoFolder, number);
    return existing;
}
