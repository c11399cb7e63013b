#include "recorder/FnbTextFile.h"

#include "platform/ByteSource.h"
#include "platform/Files.h"
#include "recorder/FnbTextProjects.h"
#include "recorder/ProjectName.h"
#include "recorder/Records.h"
#include "recorder/TrackFileName.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace {

// The temporary text is named after this one in the temporary folder: "Fnb-<random>.tmp".
constexpr const char* kTempName = "Fnb.tmp";
constexpr const char* kLineEnd = "\r\n";
constexpr std::size_t kLineEndLength = std::char_traits<char>::length(kLineEnd);
constexpr int kFirstProjectNumber = 1;
constexpr int kLastDerivableNumber = 98;
constexpr int kFrameRateCode = 3;
constexpr int kVirtualTrack = 1;
constexpr int kBasedTimeOfProject = 0;

[[noreturn]] void Fail(MessageId id, Reason reason, const std::string& subject, std::string detail = {})
{
    throw ImportError{id, reason, subject, std::move(detail)};
}

std::string Line(std::string_view key, const std::string& value)
{
    std::string line(key);
    line += ": ";
    line += value;
    line += kLineEnd;
    return line;
}

// The digits of the last "SNGSERIAL:" line of the text at `path`: a line that starts
// with the key, as the recorder writes them. A key further on (in a title, say) or in
// the continuation of a long line does not count; the digits would not stand where
// they are read.
std::string LastSerialDigits(platform::ByteSource& text, const std::string& path)
{
    const auto found = ReadFnbTextProjects(text);
    if (!found)
        Fail(MessageId::FnbReadFailed, Reason::FnbTextUnreadable, path);
    if (found->projects.empty())
        Fail(MessageId::FnbReadFailed, Reason::NoSerialLine, path);
    return found->projects.back().number;
}

std::string NextProjectNumber(const std::string& digits, const std::string& path)
{
    const int value = ProjectNumberValue(digits).value_or(0);
    if (value < kFirstProjectNumber || value > kLastDerivableNumber)
        Fail(MessageId::ProjectNumberFull, Reason::ProjectNumbersUsedUp, path, digits);
    return ZeroPadded(static_cast<unsigned>(value + 1), kProjectNumberDigits);
}

std::unique_ptr<platform::ByteSource> OpenText(platform::FileSystem& files, const std::string& path)
{
    auto text = files.OpenRead(path);
    if (!text)
        Fail(MessageId::FnbReadFailed, Reason::FnbTextUnreadable, path);
    return text;
}

// Writes `bytes` into the file at `path`, opened in `mode`; false when any step fails.
bool WriteWhole(platform::FileSystem& files, const std::string& path, platform::WriteMode mode,
                const void* bytes, std::size_t count)
{
    const auto file = files.OpenWrite(path, mode);
    if (!file)
        return false;
    const bool written = file->Write(bytes, count);
    return file->Close() && written;
}

// A new, empty temporary in the temporary folder of `files`, for the text to collect.
std::unique_ptr<platform::TemporaryFile> CreateTempFile(platform::FileSystem& files)
{
    const std::string folder = files.TemporaryFolder();
    if (folder.empty())
        Fail(MessageId::InsideError, Reason::TemporaryFileFailed, {});
    auto temp = std::make_unique<platform::TemporaryFile>(files, platform::JoinPath(folder, kTempName),
                                                         platform::TemporaryNaming::Scratch);
    // The blocks are written into it one by one, each through a file of its own; one
    // that cannot be closed empty means a folder that does not take files as it should.
    if (!temp->File() || !temp->Close())
        Fail(MessageId::InsideError, Reason::TemporaryFileFailed, folder);
    return temp;
}

// The first 131072 bytes of a text; a shorter text reads as if zero-filled.
std::vector<std::uint8_t> TextImage(platform::ByteSource& text, const std::string& path)
{
    std::vector<std::uint8_t> image(kFnbTextSize, 0);
    if (!text.ReadAt(0, image.data(), image.size()))
        Fail(MessageId::FnbReadFailed, Reason::FnbTextUnreadable, path);
    return image;
}

// The offset just after the last non-zero byte.
std::size_t UsedLength(const std::vector<std::uint8_t>& image)
{
    std::size_t used = image.size();
    while (used > 0 && image[used - 1] == 0)
        --used;
    return used;
}

// The bytes put after the used part before new text: a line end when the last line
// has none, so that the new blocks begin on a line of their own and their SNGSERIAL:
// line counts. 0 or the length of a line end.
std::size_t LineEndNeeded(const std::vector<std::uint8_t>& image, std::size_t used)
{
    return used > 0 && image[used - 1] != '\n' ? kLineEndLength : 0;
}

// A data file an import moved aside: its name in the folder and the name it stands for.
struct MovedAsideEntry {
    std::string name;
    std::string original;
};

std::vector<MovedAsideEntry> MovedAsideFiles(platform::FileSystem& files, const std::string& moFolder)
{
    std::vector<MovedAsideEntry> found;
    const auto entries = files.ListFolder(moFolder);
    if (!entries)
        return found;
    for (const auto& entry : *entries) {
        const auto original = OriginalOfMovedAside(entry.name);
        if (entry.kind == platform::FileKind::Regular && original)
            found.push_back({entry.name, *original});
    }
    return found;
}

// Whether `text` lists the project a track data file name belongs to.
bool ListsProjectOf(const FnbTextProjects& text, const std::string& trackFileName)
{
    const auto number = ProjectNumberValue(ProjectDigitsOf(trackFileName));
    return std::any_of(text.projects.begin(), text.projects.end(),
                       [&](const FnbTextProject& project) { return ProjectNumberValue(project.number) == number; });
}

// Removes the new text of an interrupted commit, or gives it the name FNB.TXT.
void FinishNewText(platform::FileSystem& files, const std::string& moFolder)
{
    const auto newText = platform::FindExactName(files, moFolder, kNewFnbTextName);
    if (!newText)
        return;
    const std::string newPath = platform::JoinPath(moFolder, *newText);
    const std::string fnbPath = platform::JoinPath(moFolder, kFnbTextFileName);
    const bool whole = files.FileSize(newPath) == kFnbTextSize;
    const bool finished = !platform::FindFile(files, fnbPath) && whole && files.Rename(newPath, fnbPath);
    if (!finished && !files.Remove(newPath))
        Fail(MessageId::FnbWriteFailed, Reason::FnbTextWriteFailed, newPath);
    if (!files.SyncFolder(moFolder))
        Fail(MessageId::FnbWriteFailed, Reason::FnbTextWriteFailed, moFolder);
}

// Removes the moved-aside files of an interrupted import whose commit went through,
// and puts the others back. An FNB.TXT that cannot be read leaves them all (the
// import then fails on reading it).
void FinishMovedAside(platform::FileSystem& files, const std::string& moFolder)
{
    const auto moved = MovedAsideFiles(files, moFolder);
    const auto text = moved.empty() ? std::nullopt : ReadFnbTextProjects(moFolder, files);
    if (!text)
        return;
    for (const auto& entry : moved) {
        const std::string path = platform::JoinPath(moFolder, entry.name);
        const std::string original = platform::FindExactName(files, moFolder, entry.original).value_or(entry.original);
        const bool done = ListsProjectOf(*text, entry.original) ? files.Remove(path)
                                                                 : files.Rename(path, platform::JoinPath(moFolder, original));
        if (!done)
            Fail(MessageId::ConvertFailed, Reason::DataFileWriteFailed, path);
    }
    if (!files.SyncFolder(moFolder))
        Fail(MessageId::ConvertFailed, Reason::DataFileWriteFailed, moFolder);
}

}  // namespace

void FinishInterruptedCommit(platform::FileSystem& files, const std::string& moFolder)
{
    FinishNewText(files, moFolder);
    FinishMovedAside(files, moFolder);
}

std::vector<Warning> InterruptedImportWarnings(platform::FileSystem& files, const std::string& moFolder)
{
    std::vector<Warning> warnings;
    if (const auto newText = platform::FindExactName(files, moFolder, kNewFnbTextName))
        warnings.push_back({WarningKind::InterruptedImportLeft, platform::JoinPath(moFolder, *newText), {}});
    for (const auto& entry : MovedAsideFiles(files, moFolder))
        warnings.push_back({WarningKind::MovedAsideLeft, platform::JoinPath(moFolder, entry.name), entry.original});
    return warnings;
}

COrvoFnbTextFile::COrvoFnbTextFile(std::string moFolder, std::string projectName, std::string timeStamp,
                                   platform::FileSystem& files)
    : m_files(files),
      m_moFolder(std::move(moFolder)),
      m_projectName(std::move(projectName)),
      m_timeStamp(std::move(timeStamp))
{
    FinishInterruptedCommit(m_files, m_moFolder);
    const std::string path = FnbPath();
    const auto text = OpenText(m_files, path);
    m_startSize = text->Size();
    m_startImage = TextImage(*text, path);
    m_newProjectNumber = NextProjectNumber(LastSerialDigits(*text, path), path);
    m_temp = CreateTempFile(m_files);
}

// The temporary goes with m_temp.
COrvoFnbTextFile::~COrvoFnbTextFile() = default;

std::string COrvoFnbTextFile::FnbPath() const
{
    const auto found = platform::FindFile(m_files, platform::JoinPath(m_moFolder, kFnbTextFileName));
    if (!found)
        Fail(MessageId::FnbReadFailed, Reason::FnbTextMissing, m_moFolder);
    return *found;
}

std::vector<std::uint8_t> COrvoFnbTextFile::ReadTextImage(const std::string& path) const
{
    return TextImage(*OpenText(m_files, path), path);
}

std::string COrvoFnbTextFile::GetTrackFileName() const
{
    if (m_newProjectNumber.empty())
        return {};
    return MakeTrackFileName(m_newProjectNumber, m_trackSerial);
}

std::string COrvoFnbTextFile::GetTrackFilePath() const
{
    return platform::JoinPath(m_moFolder, GetTrackFileName());
}

std::optional<Refusal> COrvoFnbTextFile::AppendToTemp(const std::string& block, platform::WriteMode mode) const
{
    if (WriteWhole(m_files, GetTempPath(), mode, block.data(), block.size()))
        return std::nullopt;
    return Refusal{MessageId::ConvertFailed, Reason::TemporaryFileFailed, GetTempPath(), {}};
}

std::optional<Refusal> COrvoFnbTextFile::WriteSongBlock(std::uint8_t rateCode, std::uint8_t wordLengthCode)
{
    if (auto refusal = RefuseProjectName(m_projectName))
        return refusal;
    const std::string block = Line("SNGSERIAL", m_newProjectNumber) + Line("SONGTITLE", m_projectName) +
                              Line("BINUPDATE", m_timeStamp) + Line("BASEDTIME", std::to_string(kBasedTimeOfProject)) +
                              Line("RECORDBIT", std::to_string(wordLengthCode)) +
                              Line("RECORDFSC", std::to_string(rateCode)) +
                              Line("FRAMERATE", std::to_string(kFrameRateCode)) + kLineEnd;
    return AppendToTemp(block, platform::WriteMode::Replace);
}

std::optional<Refusal> COrvoFnbTextFile::WriteTrackBlock(int trackIndex, std::uint32_t startGroup, std::uint32_t lengthGroups)
{
    const std::string serial = ZeroPadded(m_trackSerial, kFileSerialDigits) + "  " + GetTrackFileName();
    const std::string block = Line("TRKSERIAL", serial) + Line("BINUPDATE", m_timeStamp) +
                              Line("VERTIALTR", std::to_string(kVirtualTrack)) +
                              Line("TRKNUMBER", std::to_string(trackIndex + 1)) +
                              Line("BASEDTIME", std::to_string(startGroup)) +
                              Line("TRKSAMPLE", std::to_string(lengthGroups)) + kLineEnd;
    if (auto refusal = AppendToTemp(block, platform::WriteMode::Append))
        return refusal;
    m_describedFiles.push_back(GetTrackFilePath());
    m_describedSizes.push_back(m_files.FileSize(GetTrackFilePath()));
    return std::nullopt;
}

bool COrvoFnbTextFile::HasRoomForTracks(std::uint64_t blockCount) const
{
    const std::vector<std::uint8_t> image = ReadTextImage(FnbPath());
    const std::size_t used = UsedLength(image);
    const std::uint64_t start = used + LineEndNeeded(image, used);
    if (start + kProjectBlockReserve > kFnbTextSize)
        return false;
    return blockCount <= (kFnbTextSize - start - kProjectBlockReserve) / kTrackBlockReserve;
}

std::vector<std::uint8_t> COrvoFnbTextFile::ReadCollectedText(std::size_t room) const
{
    const auto source = m_files.OpenRead(GetTempPath());
    if (!source)
        Fail(MessageId::FnbWriteFailed, Reason::TemporaryFileFailed, GetTempPath());
    if (source->Size() > room)
        Fail(MessageId::FnbWriteFailed, Reason::FnbTextFull, m_moFolder);
    std::vector<std::uint8_t> text(static_cast<std::size_t>(source->Size()));
    if (!source->ReadExactly(0, text.data(), text.size()))
        Fail(MessageId::FnbWriteFailed, Reason::TemporaryFileFailed, GetTempPath());
    return text;
}

std::vector<std::uint8_t> COrvoFnbTextFile::ComposeText() const
{
    std::vector<std::uint8_t> image = m_startImage;
    platform::MemorySource text(image);
    const auto found = ReadFnbTextProjects(text);
    const std::size_t used = found && found->writtenByRecorder ? 0 : UsedLength(image);
    const std::size_t start = used + LineEndNeeded(image, used);
    if (start > kFnbTextSize)
        Fail(MessageId::FnbWriteFailed, Reason::FnbTextFull, m_moFolder);
    const std::vector<std::uint8_t> collected = ReadCollectedText(kFnbTextSize - start);
    std::copy(kLineEnd, kLineEnd + (start - used), image.begin() + static_cast<std::ptrdiff_t>(used));
    std::copy(collected.begin(), collected.end(), image.begin() + static_cast<std::ptrdiff_t>(start));
    std::fill(image.begin() + static_cast<std::ptrdiff_t>(start + collected.size()), image.end(), 0);
    return image;
}

std::vector<Warning> COrvoFnbTextFile::Commit()
{
    const std::string path = FnbPath();
    const std::vector<std::uint8_t> image = ComposeText();
    CheckDiskUnchanged(path);
    PrepareCommit(path);
    ReplaceText(path, image);
    return RemoveMovedAside();
}

void COrvoFnbTextFile::CheckDiskUnchanged(const std::string& path) const
{
    const auto text = OpenText(m_files, path);
    if (text->Size() != m_startSize || TextImage(*text, path) != m_startImage)
        Fail(MessageId::ConvertFailed, Reason::DiskChanged, path);
    for (std::size_t i = 0; i < m_describedFiles.size(); ++i) {
        const auto size = m_files.FileSize(m_describedFiles[i]);
        if (!size || size != m_describedSizes[i])
            Fail(MessageId::ConvertFailed, Reason::DiskChanged, m_describedFiles[i]);
    }
}

void COrvoFnbTextFile::PrepareCommit(const std::string& path) const
{
    if (!m_files.SyncFolder(m_moFolder))
        Fail(MessageId::FnbWriteFailed, Reason::DataFileWriteFailed, m_moFolder);
    const auto file = m_files.OpenWrite(path, platform::WriteMode::Update);
    if (!file || !file->Close())
        Fail(MessageId::FnbWriteFailed, Reason::FnbTextWriteFailed, path);
}

void COrvoFnbTextFile::ReplaceText(const std::string& path, const std::vector<std::uint8_t>& image)
{
    const std::string newPath = platform::JoinPath(m_moFolder, kNewFnbTextName);
    platform::TemporaryFile text(m_files, path, newPath);
    if (!text.File() || !text.File()->Write(image.data(), image.size()))
        Fail(MessageId::FnbWriteFailed, Reason::FnbTextWriteFailed, newPath);
    // Best effort, as for any replaced file: FAT has no permission bits to carry over.
    m_files.CopyPermissions(path, newPath);
    const bool committed = text.Commit();
    if (text.Placed()) {
        // FNB.TXT names the new data files now: they stay on the disk whatever happens.
        m_createdFiles.clear();
        // Whether it does on the device is for the next import to see: it removes or
        // puts back the moved-aside files by what FNB.TXT then lists.
        if (!committed)
            m_movedAside.clear();
    }
    if (!committed)
        Fail(MessageId::FnbWriteFailed, text.Placed() ? Reason::FnbTextMaybeRegistered : Reason::FnbTextWriteFailed,
             path);
}

void COrvoFnbTextFile::NoteCreatedFile(const std::string& path)
{
    m_createdFiles.push_back({path, m_files.IdentityOf(path)});
}

void COrvoFnbTextFile::MoveAside(const std::string& path)
{
    const std::string aside = platform::JoinPath(m_moFolder, MovedAsideName(platform::NamePart(path)));
    if (platform::FindFile(m_files, aside) || !m_files.Rename(path, aside))
        Fail(MessageId::ConvertFailed, Reason::DataFileWriteFailed, path);
    m_movedAside.push_back({path, aside, m_files.IdentityOf(aside)});
}

bool COrvoFnbTextFile::IsSameFile(const std::string& path, const std::optional<platform::FileIdentity>& identity) const
{
    return identity && m_files.IdentityOf(path) == identity;
}

std::vector<Warning> COrvoFnbTextFile::RemoveCreatedFiles()
{
    std::vector<Warning> left;
    // A file never seen under its name was never made: nothing of it is left.
    for (const auto& file : m_createdFiles) {
        if (file.identity && !(IsSameFile(file.path, file.identity) && m_files.Remove(file.path)))
            left.push_back({WarningKind::CreatedFileLeft, file.path, {}});
    }
    m_createdFiles.clear();
    // Not synced: should a power cut undo a rename, the next import puts the file back.
    const auto unsettled =
        SettleMovedAside([&](const MovedFile& moved) { return m_files.Rename(moved.aside, moved.original); });
    left.insert(left.end(), unsettled.begin(), unsettled.end());
    return left;
}

std::vector<Warning> COrvoFnbTextFile::RemoveMovedAside()
{
    return SettleMovedAside([&](const MovedFile& moved) { return m_files.Remove(moved.aside); });
}

std::vector<Warning> COrvoFnbTextFile::SettleMovedAside(const std::function<bool(const MovedFile&)>& settle)
{
    std::vector<Warning> left;
    for (const auto& moved : m_movedAside) {
        if (!IsSameFile(moved.aside, moved.identity) || !settle(moved))
            left.push_back({WarningKind::MovedAsideLeft, moved.aside, platform::NamePart(moved.original)});
    }
    m_movedAside.clear();
    return left;
}
