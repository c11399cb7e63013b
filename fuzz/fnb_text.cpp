// FNB.TXT over arbitrary bytes: the project number is derived from it, a project
// block and a track block (of an empty data file) are collected and committed. The
// first input byte gives the length (0 to 12) of the project name that follows it; the
// rest is the text.
//
// Promises: a commit keeps the old text and puts the new blocks right after it (after a
// line end when its last line has none), unless the first line holds "VERSIONID:"
// (then they stand at the start), with zeros after them to 131072 bytes and the bytes
// beyond left alone; a commit fails only when the room check said no, and then leaves
// FNB.TXT as it was; after a commit the next import derives the number after the one
// committed; no temporary text is left.

#include "fuzz/FuzzTarget.h"
#include "platform/Files.h"
#include "tests/support/MemoryFileSystem.h"
#include "recorder/FnbTextFile.h"
#include "recorder/Records.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* kFolder = "mo";
constexpr const char* kTimeStamp = "2000/04/25 13:05:09";
constexpr std::uint8_t kRateCode = 3;
constexpr std::uint8_t kWordLengthCode = 2;
constexpr int kTrackIndex = 0;
constexpr std::uint32_t kStartGroup = 0;
constexpr std::uint32_t kLengthGroups = 8192;
constexpr std::string_view kVersionKey = "VERSIONID:";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kLinePieceLength = 259;
constexpr int kLastProjectNumber = 99;
constexpr int kDecimalBase = 10;

// The project number a text gives an import, or nothing when it refuses one.
std::optional<std::string> DerivedNumber(platform::FileSystem& files)
{
    try {
        return COrvoFnbTextFile(kFolder, "Untitled", kTimeStamp, files).GetNewProjectNumber();
    } catch (const ImportError&) {
        return std::nullopt;
    }
}

// Whether the first line of the text (its first piece, up to a NUL) holds "VERSIONID:".
bool FirstLineHoldsVersion(const Bytes& text)
{
    const std::size_t limit = std::min(text.size(), kLinePieceLength);
    std::size_t end = 0;
    while (end < limit && text[end] != 0 && text[end] != '\n')
        ++end;
    return std::string_view(reinterpret_cast<const char*>(text.data()), end).find(kVersionKey) != std::string_view::npos;
}

// The offset after the last non-zero byte of the first 131072.
std::size_t UsedLength(const Bytes& text)
{
    std::size_t used = std::min(text.size(), kFnbTextSize);
    while (used > 0 && text[used - 1] == 0)
        --used;
    return used;
}

bool AllZero(Bytes::const_iterator begin, Bytes::const_iterator end)
{
    static const Bytes zeros(kFnbTextSize, 0);
    return std::equal(begin, end, zeros.begin());
}

void RequireCommitted(const Bytes& before, const Bytes& blocks, const Bytes& after)
{
    const std::size_t kept = FirstLineHoldsVersion(before) ? 0 : UsedLength(before);
    const std::size_t lineEnd = kept > 0 && before[kept - 1] != '\n' ? kLineEnd.size() : 0;
    const auto gap = static_cast<std::ptrdiff_t>(kept);
    const auto start = gap + static_cast<std::ptrdiff_t>(lineEnd);
    const auto end = start + static_cast<std::ptrdiff_t>(blocks.size());
    fuzz::Require(after.size() == std::max(before.size(), kFnbTextSize), "FNB.TXT keeps its size, at least 131072");
    fuzz::Require(std::equal(before.begin(), before.begin() + gap, after.begin()), "the old text is kept");
    fuzz::Require(std::equal(kLineEnd.begin(), kLineEnd.begin() + static_cast<std::ptrdiff_t>(lineEnd),
                             after.begin() + gap),
                  "an open last line is ended");
    fuzz::Require(std::equal(blocks.begin(), blocks.end(), after.begin() + start), "the new blocks follow it");
    fuzz::Require(AllZero(after.begin() + end, after.begin() + static_cast<std::ptrdiff_t>(kFnbTextSize)),
                  "zeros follow the new blocks");
    fuzz::Require(before.size() <= kFnbTextSize ||
                      std::equal(before.begin() + static_cast<std::ptrdiff_t>(kFnbTextSize), before.end(),
                                 after.begin() + static_cast<std::ptrdiff_t>(kFnbTextSize)),
                  "bytes beyond 131072 stay");
}

// After a commit, the next import numbers the project after the one committed.
void RequireNextNumber(platform::FileSystem& files, const std::string& committed)
{
    const int value = (committed[0] - '0') * kDecimalBase + (committed[1] - '0');
    const auto next = DerivedNumber(files);
    if (value == kLastProjectNumber) {
        fuzz::Require(!next, "no number follows 99");
        return;
    }
    fuzz::Require(next && std::stoi(*next) == value + 1, "the next import takes the number after the committed one");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t nameLength = std::min<std::size_t>(data[0] % (kProjectNameMaxLength + 1), size - 1);
    const std::string name(reinterpret_cast<const char*>(data + 1), nameLength);
    const Bytes before(data + 1 + nameLength, data + size);

    testsupport::MemoryFileSystem files;
    files.AddFolder(kFolder);
    const std::string fnbPath = platform::JoinPath(kFolder, kFnbTextFileName);
    files.AddFile(fnbPath, before);
    std::string tempPath;
    {
        std::optional<COrvoFnbTextFile> text;
        try {
            text.emplace(kFolder, name, kTimeStamp, files);
        } catch (const ImportError&) {
            return 0;
        }
        tempPath = text->GetTempPath();
        const std::string number = text->GetNewProjectNumber();
        fuzz::Require(number.size() == 2 && number >= "02" && number <= "99", "a derived number is 02 to 99");
        const bool written = !text->WriteSongBlock(kRateCode, kWordLengthCode);
        fuzz::Require(written == IsAcceptableProjectName(name), "the project block refuses only a refused name");
        files.AddFile(text->GetTrackFilePath(), {});  // the data file the track block names
        if (!written || text->WriteTrackBlock(kTrackIndex, kStartGroup, kLengthGroups))
            return 0;
        const Bytes blocks = files.Bytes(tempPath);
        const bool fits = text->HasRoomForTracks(1);
        try {
            text->Commit();
        } catch (const ImportError&) {
            fuzz::Require(!fits, "a commit fails only when the room check said no");
            fuzz::Require(files.Bytes(fnbPath) == before, "a failed commit leaves FNB.TXT as it was");
            return 0;
        }
        RequireCommitted(before, blocks, files.Bytes(fnbPath));
        RequireNextNumber(files, number);
    }
    fuzz::Require(!files.HasFile(tempPath), "no temporary text is left");
    return 0;
}
