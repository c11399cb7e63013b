#include "recorder/FnbTextFile.h"

#include "platform/ByteSource.h"
#include "platform/Files.h"
#include "recorder/Records.h"
#include "recorder/TrackFileName.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

namespace {

constexpr const char* kTempPrefix = "Fnb";
constexpr const char* kTempSuffix = ".tmp";
constexpr int kTempAttempts = 1000;
constexpr const char* kLineEnd = "\r\n";
constexpr std::size_t kLineEndLength = std::char_traits<char>::length(kLineEnd);
constexpr std::string_view kSerialKey = "SNGSERIAL:";
constexpr std::string_view kVersionKey = "VERSIONID:";
// A line is read in pieces of at most this many characters.
constexpr std::size_t kLinePieceLength = 259;
// The text is read from its source in reads of this size.
constexpr std::size_t kTextReadSize = 64 * 1024;
// Where the two digits of the project number stand in a "SNGSERIAL:" line.
constexpr std::size_t kSerialDigitsAt = 11;
constexpr std::size_t kSerialDigitCount = 2;
constexpr int kFirstProjectNumber = 1;
constexpr int kLastDerivableNumber = 98;
constexpr int kDecimalBase = 10;
constexpr int kFrameRateCode = 3;
constexpr int kVirtualTrack = 1;
constexpr int kBasedTimeOfProject = 0;
constexpr const char* kProjectNameRule = "a project name holds at most 12 printable characters";

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

bool IsDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A text read the way the recorder's text is read everywhere: in pieces, a piece
// being a line through its LF or at most 259 of its characters.
class TextPieces {
public:
    explicit TextPieces(platform::ByteSource& source) : m_source(source), m_buffer(kTextReadSize) {}

    // The next piece up to its first NUL, as a C string shows it; nothing at the end
    // of the text or after a read error.
    std::optional<std::string_view> Next()
    {
        std::size_t length = 0;
        bool lineEnded = false;
        // Copies runs up to the next LF, the end of the piece or of the buffer.
        while (!lineEnded && length < kLinePieceLength && (m_at < m_end || Refill())) {
            const char* from = m_buffer.data() + m_at;
            const std::size_t wanted = std::min(kLinePieceLength - length, m_end - m_at);
            const auto* lineEnd = static_cast<const char*>(std::memchr(from, '\n', wanted));
            const std::size_t taken = lineEnd ? static_cast<std::size_t>(lineEnd - from) + 1 : wanted;
            std::memcpy(m_piece + length, from, taken);
            length += taken;
            m_at += taken;
            lineEnded = lineEnd != nullptr;
        }
        if (length == 0 || m_failed)
            return std::nullopt;
        m_startsLine = m_nextStartsLine;
        m_nextStartsLine = lineEnded;
        const char* end = std::find(m_piece, m_piece + length, '\0');
        return std::string_view(m_piece, static_cast<std::size_t>(end - m_piece));
    }

    // True when the last piece is a whole line or the first piece of one, not the
    // continuation of a line longer than a piece.
    bool StartsLine() const { return m_startsLine; }
    bool Failed() const { return m_failed; }

private:
    bool Refill()
    {
        const auto got = m_source.ReadAt(m_position, m_buffer.data(), m_buffer.size());
        m_failed = !got;
        m_at = 0;
        m_end = got.value_or(0);
        m_position += m_end;
        return m_end > 0;
    }

    platform::ByteSource& m_source;
    std::vector<char> m_buffer;
    std::size_t m_at = 0;
    std::size_t m_end = 0;
    std::uint64_t m_position = 0;
    bool m_failed = false;
    bool m_startsLine = false;
    bool m_nextStartsLine = true;
    char m_piece[kLinePieceLength] = {};
};

// The two digits of a "SNGSERIAL:" line, or empty when the line is too short to hold them.
std::string SerialDigitsOf(std::string_view serialLine)
{
    return serialLine.size() >= kSerialDigitsAt + kSerialDigitCount
               ? std::string(serialLine.substr(kSerialDigitsAt, kSerialDigitCount))
               : std::string();
}

// The digits of the last "SNGSERIAL:" line of the text at `path`: a line that starts
// with the key, as the recorder writes them. A key further on (in a title, say) or in
// the continuation of a long line does not count; the digits would not stand where
// they are read.
std::string LastSerialDigits(platform::ByteSource& text, const std::string& path)
{
    TextPieces pieces(text);
    std::optional<std::string> digits;
    while (const auto piece = pieces.Next()) {
        if (!pieces.StartsLine() || !piece->starts_with(kSerialKey))
            continue;
        digits = SerialDigitsOf(*piece);
    }
    if (pieces.Failed())
        Fail(MessageId::FnbReadFailed, Reason::FnbTextUnreadable, path);
    if (!digits)
        Fail(MessageId::FnbReadFailed, Reason::NoSerialLine, path);
    return *digits;
}

std::string NextProjectNumber(const std::string& digits, const std::string& path)
{
    const bool twoDigits =
        digits.size() == kProjectNumberDigits && IsDecimalDigit(digits[0]) && IsDecimalDigit(digits[1]);
    const int value = twoDigits ? (digits[0] - '0') * kDecimalBase + (digits[1] - '0') : 0;
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

std::string CreateTempFile(platform::FileSystem& files)
{
    const std::string folder = files.TemporaryFolder();
    if (folder.empty())
        Fail(MessageId::InsideError, Reason::TemporaryFileFailed, {});
    const auto seed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        const auto name = kTempPrefix + std::to_string(seed) + "_" + std::to_string(attempt) + kTempSuffix;
        const std::string path = platform::JoinPath(folder, name);
        // CreateNew fails when the name is taken: the next one is tried.
        const auto file = files.OpenWrite(path, platform::WriteMode::CreateNew);
        if (!file)
            continue;
        if (file->Close())
            return path;
        // Created, but the folder does not take files as it should.
        files.Remove(path);
        break;
    }
    Fail(MessageId::InsideError, Reason::TemporaryFileFailed, folder);
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

bool FirstLineHasVersionId(const std::vector<std::uint8_t>& image)
{
    std::size_t end = 0;
    while (end < kLinePieceLength && image[end] != 0 && image[end] != '\n')
        ++end;
    const std::string_view line(reinterpret_cast<const char*>(image.data()), end);
    return line.find(kVersionKey) != std::string_view::npos;
}

// The value of a "KEY: value" line: after the key and one space, up to the line end.
std::string ValueOf(std::string_view piece, std::string_view key)
{
    std::string_view value = piece.substr(key.size());
    if (value.starts_with(' '))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r'))
        value.remove_suffix(1);
    return std::string(value);
}

std::optional<std::uint8_t> CodeOf(const std::string& value)
{
    constexpr int kLargestCode = 255;
    if (value.empty() || value.size() > 3 || !std::all_of(value.begin(), value.end(), IsDecimalDigit))
        return std::nullopt;
    const int code = std::stoi(value);
    if (code > kLargestCode)
        return std::nullopt;
    return static_cast<std::uint8_t>(code);
}

constexpr std::string_view kTitleKey = "SONGTITLE:";
constexpr std::string_view kWordLengthKey = "RECORDBIT:";
constexpr std::string_view kRateKey = "RECORDFSC:";

}  // namespace

std::optional<FnbTextProjects> ReadFnbTextProjects(const std::string& moFolder, platform::FileSystem& files)
{
    const auto path = platform::FindFile(files, platform::JoinPath(moFolder, kFnbTextFileName));
    if (!path)
        return std::nullopt;
    const auto text = files.OpenRead(*path);
    if (!text)
        return std::nullopt;
    FnbTextProjects found;
    TextPieces pieces(*text);
    bool firstPiece = true;
    while (const auto piece = pieces.Next()) {
        if (firstPiece)
            found.writtenByRecorder = piece->find(kVersionKey) != std::string_view::npos;
        firstPiece = false;
        if (!pieces.StartsLine())
            continue;
        if (piece->starts_with(kSerialKey)) {
            // The digits stand where the project number is derived from.
            found.projects.push_back({SerialDigitsOf(*piece), {}, std::nullopt, std::nullopt});
            continue;
        }
        if (found.projects.empty())
            continue;
        FnbTextProject& project = found.projects.back();
        if (piece->starts_with(kTitleKey))
            project.title = ValueOf(*piece, kTitleKey);
        else if (piece->starts_with(kWordLengthKey))
            project.wordLengthCode = CodeOf(ValueOf(*piece, kWordLengthKey));
        else if (piece->starts_with(kRateKey))
            project.rateCode = CodeOf(ValueOf(*piece, kRateKey));
    }
    if (pieces.Failed())
        return std::nullopt;
    return found;
}

std::optional<Refusal> RefuseProjectName(const std::string& name)
{
    constexpr char kFirstPrintable = 0x20;
    constexpr char kLastPrintable = 0x7E;
    const auto refused = std::find_if(name.begin(), name.end(),
                                      [](char c) { return c < kFirstPrintable || c > kLastPrintable; });
    if (refused != name.end()) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(*refused)));
        return Refusal{MessageId::ConvertFailed, Reason::ProjectNameRefused, name,
                       std::string(kProjectNameRule) + "; byte " + std::to_string(refused - name.begin() + 1) +
                           " is " + byte + ", not a printable character"};
    }
    if (name.size() > kProjectNameMaxLength)
        return Refusal{MessageId::ConvertFailed, Reason::ProjectNameRefused, name,
                       std::string(kProjectNameRule) + "; this one has " + std::to_string(name.size())};
    const auto key = std::search(name.begin(), name.end(), kSerialKey.begin(), kSerialKey.end(),
                                 [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
    if (key != name.end())
        return Refusal{MessageId::ConvertFailed, Reason::ProjectNameHoldsSerialKey, name, {}};
    return std::nullopt;
}

bool IsAcceptableProjectName(const std::string& name)
{
    return !RefuseProjectName(name);
}

COrvoFnbTextFile::COrvoFnbTextFile(std::string moFolder, std::string projectName, std::string timeStamp,
                                   platform::FileSystem& files)
    : m_files(files),
      m_moFolder(std::move(moFolder)),
      m_projectName(std::move(projectName)),
      m_timeStamp(std::move(timeStamp))
{
    const std::string path = FnbPath();
    m_newProjectNumber = NextProjectNumber(LastSerialDigits(*OpenText(m_files, path), path), path);
    m_tempPath = CreateTempFile(m_files);
}

COrvoFnbTextFile::~COrvoFnbTextFile()
{
    m_files.Remove(m_tempPath);
}

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

bool COrvoFnbTextFile::RefuseBlock(Reason reason, std::string subject, std::string detail)
{
    m_refusal = Refusal{MessageId::ConvertFailed, reason, std::move(subject), std::move(detail)};
    return false;
}

bool COrvoFnbTextFile::WriteSongBlock(std::uint8_t rateCode, std::uint8_t wordLengthCode)
{
    if (auto refusal = RefuseProjectName(m_projectName)) {
        m_refusal = std::move(*refusal);
        return false;
    }
    const std::string block = Line("SNGSERIAL", m_newProjectNumber) + Line("SONGTITLE", m_projectName) +
                              Line("BINUPDATE", m_timeStamp) + Line("BASEDTIME", std::to_string(kBasedTimeOfProject)) +
                              Line("RECORDBIT", std::to_string(wordLengthCode)) +
                              Line("RECORDFSC", std::to_string(rateCode)) +
                              Line("FRAMERATE", std::to_string(kFrameRateCode)) + kLineEnd;
    return WriteWhole(m_files, m_tempPath, platform::WriteMode::Replace, block.data(), block.size()) ||
           RefuseBlock(Reason::TemporaryFileFailed, m_tempPath);
}

bool COrvoFnbTextFile::WriteTrackBlock(int trackIndex, std::uint32_t startGroup, std::uint32_t lengthGroups)
{
    const std::string serial = ZeroPadded(m_trackSerial, kFileSerialDigits) + "  " + GetTrackFileName();
    const std::string block = Line("TRKSERIAL", serial) + Line("BINUPDATE", m_timeStamp) +
                              Line("VERTIALTR", std::to_string(kVirtualTrack)) +
                              Line("TRKNUMBER", std::to_string(trackIndex + 1)) +
                              Line("BASEDTIME", std::to_string(startGroup)) +
                              Line("TRKSAMPLE", std::to_string(lengthGroups)) + kLineEnd;
    if (!WriteWhole(m_files, m_tempPath, platform::WriteMode::Append, block.data(), block.size()))
        return RefuseBlock(Reason::TemporaryFileFailed, m_tempPath);
    m_describedFiles.push_back(GetTrackFilePath());
    return true;
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
    const auto source = m_files.OpenRead(m_tempPath);
    if (!source)
        Fail(MessageId::FnbWriteFailed, Reason::TemporaryFileFailed, m_tempPath);
    if (source->Size() > room)
        Fail(MessageId::FnbWriteFailed, Reason::FnbTextFull, m_moFolder);
    std::vector<std::uint8_t> text(static_cast<std::size_t>(source->Size()));
    if (!source->ReadExactly(0, text.data(), text.size()))
        Fail(MessageId::FnbWriteFailed, Reason::TemporaryFileFailed, m_tempPath);
    return text;
}

std::vector<std::uint8_t> COrvoFnbTextFile::ComposeText(const std::string& path) const
{
    std::vector<std::uint8_t> image = ReadTextImage(path);
    const std::size_t used = FirstLineHasVersionId(image) ? 0 : UsedLength(image);
    const std::size_t start = used + LineEndNeeded(image, used);
    if (start > kFnbTextSize)
        Fail(MessageId::FnbWriteFailed, Reason::FnbTextFull, m_moFolder);
    const std::vector<std::uint8_t> text = ReadCollectedText(kFnbTextSize - start);
    std::copy(kLineEnd, kLineEnd + (start - used), image.begin() + static_cast<std::ptrdiff_t>(used));
    std::copy(text.begin(), text.end(), image.begin() + static_cast<std::ptrdiff_t>(start));
    std::fill(image.begin() + static_cast<std::ptrdiff_t>(start + text.size()), image.end(), 0);
    return image;
}

void COrvoFnbTextFile::Commit()
{
    const std::string path = FnbPath();
    const std::vector<std::uint8_t> image = ComposeText(path);
    const auto file = OpenForTextWrite(path);
    // From here on FNB.TXT may name the new data files, even after a failed write:
    // they stay on the disk whatever happens.
    m_createdFiles.clear();
    const bool written = file->Write(image.data(), image.size());
    if (!file->Close() || !written)
        Fail(MessageId::FnbWriteFailed, Reason::FnbTextWriteFailed, path);
}

bool COrvoFnbTextFile::GrowToFullSize(const std::string& path, std::uint64_t size)
{
    if (size >= kFnbTextSize)
        return true;
    // Zero bytes written, not a size change, which would reserve no space.
    const std::vector<std::uint8_t> zeros(kFnbTextSize - static_cast<std::size_t>(size), 0);
    return WriteWhole(m_files, path, platform::WriteMode::Append, zeros.data(), zeros.size());
}

std::unique_ptr<platform::OutputFile> COrvoFnbTextFile::OpenForTextWrite(const std::string& path)
{
    const auto size = m_files.FileSize(path);
    if (!size)
        Fail(MessageId::FnbWriteFailed, Reason::FnbTextWriteFailed, path);
    std::unique_ptr<platform::OutputFile> file;
    if (GrowToFullSize(path, *size))
        file = m_files.OpenWrite(path, platform::WriteMode::Update);
    if (!file) {
        if (*size < kFnbTextSize)
            m_files.Resize(path, *size);
        Fail(MessageId::FnbWriteFailed, Reason::FnbTextWriteFailed, path);
    }
    return file;
}

void COrvoFnbTextFile::NoteCreatedFile(const std::string& path)
{
    m_createdFiles.push_back(path);
}

void COrvoFnbTextFile::RemoveCreatedFiles()
{
    for (const auto& path : m_createdFiles)
        m_files.Remove(path);
    m_createdFiles.clear();
}
