#include "import/InvertExchange.h"

#include "app/Document.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/UserInterface.h"
#include "recorder/BinderFile.h"
#include "recorder/FnbTextFile.h"
#include "recorder/Formats.h"
#include "recorder/TrackFileName.h"

#include <exception>
#include <memory>
#include <string>

namespace {

[[noreturn]] void Fail(MessageId id)
{
    throw ImportError{id};
}

// Whether FNB.BIN lists a project with `number`; a list that cannot be read
// fails the import, since nothing can then be said about the files on the disk.
bool ProjectIsListed(const std::string& binderPath, unsigned number)
{
    CBinderFile binder(binderPath);
    sobinder song{};
    if (!binder.Exists() || !binder.OpenForRead() || !binder.ReadFirstSong(song))
        Fail(MessageId::ConvertFailed);
    do {
        if (song.projectNumber == number)
            return true;
    } while (binder.ReadNextSong(song));
    return false;
}

}  // namespace

CInvertExchange::CInvertExchange(TrackSlots& tracks, COVFtoWAVEDoc& doc, platform::UserInterface& ui)
    : m_pTracks(tracks), m_pDoc(doc), m_ui(ui)
{
}

CInvertExchange::~CInvertExchange() = default;

bool CInvertExchange::Run()
{
    m_pDoc.StampTime();
    const std::optional<MessageId> failure = Import();
    if (failure) {
        m_ui.ShowError(*failure);
        return false;
    }
    m_ui.ShowInformation(MessageId::ConvertSucceeded);
    return true;
}

std::optional<MessageId> CInvertExchange::Import()
{
    // Declared so that they go in the reverse order: the project information file
    // (and its temporary file) first, then the wait cursor, then the progress window.
    std::unique_ptr<platform::ProgressWindow> progress;
    const platform::WaitCursor wait(m_ui);
    std::optional<COrvoFnbTextFile> textFile;
    bool writing = false;
    std::optional<MessageId> failure;
    try {
        textFile.emplace(m_pDoc.m_strMoFolder, m_pDoc.GetNewProjectName(), m_pDoc.GetTimeStamp());
        progress = m_ui.CreateProgressWindow();
        if (progress)
            progress->Show();
        WriteSongBlock(*textFile);
        const std::uint64_t regionCount = ScanTracks(progress.get());
        if (!textFile->HasRoomForTracks(regionCount))
            Fail(MessageId::FnbFull);
        CheckExistingDataFiles(*textFile, regionCount);
        writing = true;
        ConvertTracks(*textFile, progress.get());
        textFile->Commit();
    } catch (const ImportError& error) {
        failure = error.id;
    } catch (const std::exception&) {
        failure = MessageId::InsideError;
    }
    if (failure && writing)
        textFile->RemoveCreatedFiles();
    return failure;
}

void CInvertExchange::WriteSongBlock(COrvoFnbTextFile& textFile) const
{
    // The project's format is Track 1's; a rate or word length without a code cannot be described.
    const CPCSoundFile* first = m_pTracks[0].GetReader();
    const auto rate = first ? RateOfHz(first->GetSampleRate()) : std::nullopt;
    const auto wordLength = first ? WordLengthOfBits(first->GetBitsPerSample()) : std::nullopt;
    if (!rate || !wordLength || !textFile.WriteSongBlock(rate->code, wordLength->code))
        Fail(MessageId::ConvertFailed);
}

void CInvertExchange::ForEachUsedSlot(platform::ProgressWindow* progress, const SlotAction& action)
{
    for (std::size_t index = 0; index < m_pTracks.size(); ++index) {
        CPCSoundFile* reader = m_pTracks[index].GetReader();
        if (!reader)
            continue;
        if (progress)
            progress->StepAnimation();
        if (!m_pTracks[index].GetSourcePath().empty())
            action(static_cast<int>(index), *reader);
    }
}

std::uint64_t CInvertExchange::ScanTracks(platform::ProgressWindow* progress)
{
    std::uint64_t regionCount = 0;
    ForEachUsedSlot(progress, [&](int, CPCSoundFile& reader) {
        if (!reader.ScanRegions(progress))
            Fail(MessageId::InsideError);
        regionCount += reader.GetRegions().size();
    });
    return regionCount;
}

void CInvertExchange::ConvertTracks(COrvoFnbTextFile& textFile, platform::ProgressWindow* progress)
{
    ForEachUsedSlot(progress, [&](int trackIndex, CPCSoundFile& reader) {
        if (!reader.ConvertRegions(trackIndex, textFile, progress))
            Fail(MessageId::ConvertFailed);
    });
}

void CInvertExchange::CheckExistingDataFiles(const COrvoFnbTextFile& textFile, std::uint64_t fileCount) const
{
    const std::string& number = textFile.GetNewProjectNumber();
    bool anyExists = false;
    for (std::uint64_t i = 0; i < fileCount && !anyExists; ++i) {
        const auto name = MakeTrackFileName(number, static_cast<unsigned>(textFile.GetTrackSerial() + i));
        anyExists = platform::FindExactName(textFile.GetMoFolder(), name).has_value();
    }
    // Files left by an interrupted import of a project the recorder never took
    // over are replaced; files of a listed project are not.
    if (anyExists && ProjectIsListed(m_pDoc.m_strFnbPath, static_cast<unsigned>(std::stoi(number))))
        Fail(MessageId::ConvertFailed);
}
