#include "recorder/FnbTextFile.h"

#include "platform/Errors.h"
#include "platform/Files.h"
#include "recorder/Records.h"
#include "recorder/TrackFileName.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>

namespace {

constexpr const char* kTempPrefix = "Fnb";
constexpr const char* kTempSuffix = ".tmp";
constexpr int kTempAttempts = 1000;
constexpr const char* kLineEnd = "\r\n";
constexpr std::string_view kSerialKey = "SNGSERIAL:";
constexpr std::string_view kVersionKey = "VERSIONID:";
// A line is read in pieces of at most this many characters.
constexpr int kLinePieceLength = 259;
// Where the two digits of the project number stand in a "SNGSERIAL:" line.
constexpr std::size_t kSerialDigitsAt = 11;
constexpr int kFirstProjectNumber = 1;
constexpr int kLastDerivableNumber = 98;
constexpr int kDecimalBase = 10;
constexpr int kProjectDigits = 2;
constexpr int kSerialDigits = 5;
constexpr int kFrameRateCode = 3;
constexpr int kVirtualTrack = 1;
constexpr int kBasedTimeOfProject = 0;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenFile(const std::string& path, const char* mode)
{
    return FilePtr(std::fopen(path.c_str(), mode));
}

// Closes a file that was written; a buffered write error seen only now counts.
bool CloseWritten(FilePtr& file)
{
    const bool flushed = std::fflush(file.get()) == 0 && !std::ferror(file.get());
    return std::fclose(file.release()) == 0 && flushed;
}

[[noreturn]] void Fail(MessageId id)
{
    throw ImportError{id};
}

std::string ZeroPadded(long long value, int width)
{
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return digits;
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

// The digits of the last "SNGSERIAL:" line, read in pieces as the recorder's
// text is read everywhere: a piece is a line or at most 259 of its characters.
std::string LastSerialDigits(const std::string& path)
{
    FilePtr file = OpenFile(path, "rb");
    if (!file)
        Fail(MessageId::FnbReadFailed);
    std::string digits;
    bool found = false;
    char piece[kLinePieceLength + 1];
    while (std::fgets(piece, sizeof piece, file.get())) {
        const std::string_view text(piece);
        if (text.find(kSerialKey) == std::string_view::npos)
            continue;
        found = true;
        digits = text.size() > kSerialDigitsAt + 1 ? std::string(text.substr(kSerialDigitsAt, 2)) : std::string();
    }
    if (std::ferror(file.get()) || !found)
        Fail(MessageId::FnbReadFailed);
    return digits;
}

std::string NextProjectNumber(const std::string& digits)
{
    if (digits.size() != 2 || !IsDecimalDigit(digits[0]) || !IsDecimalDigit(digits[1]))
        Fail(MessageId::ProjectNumberFull);
    const int value = (digits[0] - '0') * kDecimalBase + (digits[1] - '0');
    if (value < kFirstProjectNumber || value > kLastDerivableNumber)
        Fail(MessageId::ProjectNumberFull);
    return ZeroPadded(value + 1, kProjectDigits);
}

std::string CreateTempFile()
{
    std::error_code error;
    const auto folder = std::filesystem::temp_directory_path(error);
    if (error)
        Fail(MessageId::InsideError);
    const auto seed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        const auto name = kTempPrefix + std::to_string(seed) + "_" + std::to_string(attempt) + kTempSuffix;
        const std::string path = (folder / name).string();
        FilePtr file = OpenFile(path, "wbx");  // fails when the name is taken
        if (file && CloseWritten(file))
            return path;
    }
    Fail(MessageId::InsideError);
}

// The first 131072 bytes of FNB.TXT; a shorter file reads as if zero-filled.
std::vector<std::uint8_t> ReadTextImage(const std::string& path)
{
    FilePtr file = OpenFile(path, "rb");
    if (!file)
        Fail(MessageId::FnbReadFailed);
    std::vector<std::uint8_t> image(kFnbTextSize, 0);
    std::fread(image.data(), 1, image.size(), file.get());
    if (std::ferror(file.get()))
        Fail(MessageId::FnbReadFailed);
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

bool FirstLineHasVersionId(const std::vector<std::uint8_t>& image)
{
    std::size_t end = 0;
    while (end < static_cast<std::size_t>(kLinePieceLength) && image[end] != 0 && image[end] != '\n')
        ++end;
    const std::string_view line(reinterpret_cast<const char*>(image.data()), end);
    return line.find(kVersionKey) != std::string_view::npos;
}

// The whole temporary text; more than FNB.TXT can hold is refused.
bool ReadTempText(const std::string& path, std::vector<std::uint8_t>& text)
{
    FilePtr file = OpenFile(path, "rb");
    if (!file)
        return false;
    text.assign(kFnbTextSize + 1, 0);
    const auto got = std::fread(text.data(), 1, text.size(), file.get());
    text.resize(got);
    return !std::ferror(file.get()) && got <= kFnbTextSize;
}

bool WriteTempText(const std::string& path, const char* mode, const std::string& text)
{
    FilePtr file = OpenFile(path, mode);
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    return CloseWritten(file) && written;
}

bool WriteImageInPlace(const std::string& path, const std::vector<std::uint8_t>& image)
{
    FilePtr file = OpenFile(path, "r+b");
    if (!file)
        return false;
    const bool written = std::fwrite(image.data(), 1, image.size(), file.get()) == image.size();
    return CloseWritten(file) && written;
}

}  // namespace

bool IsAcceptableProjectName(const std::string& name)
{
    constexpr char kFirstPrintable = 0x20;
    constexpr char kLastPrintable = 0x7E;
    return name.size() <= kProjectNameMaxLength && std::all_of(name.begin(), name.end(), [](char c) {
               return c >= kFirstPrintable && c <= kLastPrintable;
           });
}

COrvoFnbTextFile::COrvoFnbTextFile(std::string moFolder, std::string projectName, std::string timeStamp)
    : m_moFolder(std::move(moFolder)), m_projectName(std::move(projectName)), m_timeStamp(std::move(timeStamp))
{
    m_newProjectNumber = NextProjectNumber(LastSerialDigits(FnbPath()));
    m_tempPath = CreateTempFile();
}

COrvoFnbTextFile::~COrvoFnbTextFile()
{
    std::error_code error;
    std::filesystem::remove(m_tempPath, error);
}

std::string COrvoFnbTextFile::FnbPath() const
{
    const auto found = platform::FindFile(platform::JoinPath(m_moFolder, kFnbTextFileName));
    if (!found)
        Fail(MessageId::FnbReadFailed);
    return *found;
}

std::string COrvoFnbTextFile::GetTrackFileName() const
{
    if (m_newProjectNumber.empty())
        return {};
    return MakeTrackFileName(m_newProjectNumber, m_trackSerial);
}

bool COrvoFnbTextFile::WriteSongBlock(std::uint8_t rateCode, std::uint8_t wordLengthCode)
{
    if (!IsAcceptableProjectName(m_projectName))
        return false;
    const std::string block = Line("SNGSERIAL", m_newProjectNumber) + Line("SONGTITLE", m_projectName) +
                              Line("BINUPDATE", m_timeStamp) + Line("BASEDTIME", std::to_string(kBasedTimeOfProject)) +
                              Line("RECORDBIT", std::to_string(wordLengthCode)) +
                              Line("RECORDFSC", std::to_string(rateCode)) +
                              Line("FRAMERATE", std::to_string(kFrameRateCode)) + kLineEnd;
    return WriteTempText(m_tempPath, "wb", block);
}

bool COrvoFnbTextFile::WriteTrackBlock(int trackIndex, std::uint32_t startGroup, std::uint32_t lengthGroups)
{
    const std::string serial = ZeroPadded(m_trackSerial, kSerialDigits) + "  " + GetTrackFileName();
    const std::string block = Line("TRKSERIAL", serial) + Line("BINUPDATE", m_timeStamp) +
                              Line("VERTIALTR", std::to_string(kVirtualTrack)) +
                              Line("TRKNUMBER", std::to_string(trackIndex + 1)) +
                              Line("BASEDTIME", std::to_string(startGroup)) +
                              Line("TRKSAMPLE", std::to_string(lengthGroups)) + kLineEnd;
    return WriteTempText(m_tempPath, "ab", block);
}

bool COrvoFnbTextFile::HasRoomForTracks(std::uint64_t blockCount) const
{
    const std::uint64_t used = UsedLength(ReadTextImage(FnbPath()));
    const std::uint64_t room = kFnbTextSize - used;
    if (room < kProjectBlockReserve)
        return false;
    return blockCount <= (room - kProjectBlockReserve) / kTrackBlockReserve;
}

void COrvoFnbTextFile::Commit()
{
    const std::string path = FnbPath();
    std::vector<std::uint8_t> image = ReadTextImage(path);
    std::vector<std::uint8_t> text;
    if (!ReadTempText(m_tempPath, text))
        Fail(MessageId::FnbWriteFailed);
    const std::size_t used = FirstLineHasVersionId(image) ? 0 : UsedLength(image);
    if (text.size() > kFnbTextSize - used)
        Fail(MessageId::FnbWriteFailed);
    std::copy(text.begin(), text.end(), image.begin() + static_cast<std::ptrdiff_t>(used));
    std::fill(image.begin() + static_cast<std::ptrdiff_t>(used + text.size()), image.end(), 0);
    // From here on FNB.TXT may name the new data files, even after a failed write:
    // they stay on the disk whatever happens.
    m_createdFiles.clear();
    if (!WriteImageInPlace(path, image))
        Fail(MessageId::FnbWriteFailed);
}

void COrvoFnbTextFile::NoteCreatedFile(const std::string& path)
{
    m_createdFiles.push_back(path);
}

void COrvoFnbTextFile::RemoveCreatedFiles()
{
    for (const auto& path : m_createdFiles) {
        std::error_code error;
        std::filesystem::remove(path, error);
    }
    m_createdFiles.clear();
}
