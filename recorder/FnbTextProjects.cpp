#include "recorder/FnbTextProjects.h"

#include "platform/ByteSource.h"
#include "platform/Files.h"
#include "recorder/Records.h"
#include "recorder/TrackFileName.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::string_view kVersionKey = "VERSIONID:";
constexpr std::string_view kTitleKey = "SONGTITLE:";
constexpr std::string_view kWordLengthKey = "RECORDBIT:";
constexpr std::string_view kRateKey = "RECORDFSC:";
// A line is read in pieces of at most this many characters.
constexpr std::size_t kLinePieceLength = 259;
// The text is read from its source in reads of this size.
constexpr std::size_t kTextReadSize = 64 * 1024;
// Where the two digits of the project number stand in a "SNGSERIAL:" line.
constexpr std::size_t kSerialDigitsAt = 11;
constexpr std::size_t kSerialDigitCount = 2;

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

}  // namespace

std::optional<int> ProjectNumberValue(const std::string& digits)
{
    constexpr int kDecimalBase = 10;
    if (digits.size() != kProjectNumberDigits || !std::all_of(digits.begin(), digits.end(), IsDecimalDigit))
        return std::nullopt;
    return (digits[0] - '0') * kDecimalBase + (digits[1] - '0');
}

std::optional<FnbTextProjects> ReadFnbTextProjects(platform::ByteSource& text)
{
    FnbTextProjects found;
    TextPieces pieces(text);
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

std::optional<FnbTextProjects> ReadFnbTextProjects(const std::string& moFolder, platform::FileSystem& files)
{
    const auto path = platform::FindFile(files, platform::JoinPath(moFolder, kFnbTextFileName));
    if (!path)
        return std::nullopt;
    const auto text = files.OpenRead(*path);
    return text ? ReadFnbTextProjects(*text) : std::nullopt;
}
