#include "platform/IniFile.h"

#include "platform/Files.h"
#include "platform/ReplacingFile.h"

#include <cstdlib>
#include <optional>
#include <vector>

namespace platform {

namespace {

// A settings file is a few lines; anything larger is not ours and is left alone.
constexpr std::uintmax_t kMaxIniBytes = 1 << 20;
constexpr char kCommentMark = ';';
#ifdef _WIN32
constexpr const char* kNativeLineEnd = "\r\n";
#else
constexpr const char* kNativeLineEnd = "\n";
#endif

struct Line {
    std::string text;  // without its line end
    std::string end;   // "\n", "\r\n" or empty for a last line without one
};

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool HasLineBreak(const std::string& text)
{
    return text.find_first_of("\r\n") != std::string::npos;
}

std::vector<Line> SplitLines(const std::string& content)
{
    std::vector<Line> lines;
    std::string::size_type start = 0;
    while (start < content.size()) {
        const auto newline = content.find('\n', start);
        if (newline == std::string::npos) {
            lines.push_back({content.substr(start), {}});
            break;
        }
        const bool crlf = newline > start && content[newline - 1] == '\r';
        const auto textEnd = crlf ? newline - 1 : newline;
        lines.push_back({content.substr(start, textEnd - start), crlf ? "\r\n" : "\n"});
        start = newline + 1;
    }
    return lines;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string> SectionName(const std::string& text)
{
    const std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() != '[')
        return std::nullopt;
    const auto close = trimmed.find(']');
    return Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

// True when the line is "key = value" for `key`; the value (trimmed) goes to `value`.
bool MatchKey(const std::string& text, const std::string& key, std::string* value)
{
    const std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() == kCommentMark)
        return false;
    const auto equals = trimmed.find('=');
    if (equals == std::string::npos || !EqualsIgnoringCase(Trim(trimmed.substr(0, equals)), key))
        return false;
    if (value)
        *value = Trim(trimmed.substr(equals + 1));
    return true;
}

// Where a section's lines are: [header + 1, end).
struct SectionSpan {
    std::size_t header;
    std::size_t end;
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, const std::string& section)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i].text);
        if (!name || !EqualsIgnoringCase(*name, section))
            continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !SectionName(lines[end].text))
            ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::string LineEndOf(const std::vector<Line>& lines)
{
    for (const auto& line : lines) {
        if (!line.end.empty())
            return line.end;
    }
    return kNativeLineEnd;
}

// Puts `key=value` into the lines: over the key's line, at the end of its section,
// or in a new section at the end of the file.
void PutKey(std::vector<Line>& lines, const std::string& section, const std::string& key,
            const std::string& value)
{
    const std::string lineEnd = LineEndOf(lines);
    const std::string entry = key + "=" + value;
    const auto span = FindSection(lines, section);
    if (!span) {
        if (!lines.empty() && lines.back().end.empty())
            lines.back().end = lineEnd;
        lines.push_back({"[" + section + "]", lineEnd});
        lines.push_back({entry, lineEnd});
        return;
    }
    std::size_t lastContent = span->header;
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        if (MatchKey(lines[i].text, key, nullptr)) {
            lines[i].text = entry;
            return;
        }
        if (!Trim(lines[i].text).empty())
            lastContent = i;
    }
    if (lines[lastContent].end.empty())
        lines[lastContent].end = lineEnd;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastContent + 1), Line{entry, lineEnd});
}

// Writes the new content beside the file and moves it over the old one, so a
// failed write never leaves a damaged settings file behind.
bool ReplaceFile(FileSystem& files, const std::string& path, const std::vector<Line>& lines)
{
    const std::string folder = FolderPart(path);
    if (!folder.empty())
        CreateFolders(folder);
    std::string content;
    for (const auto& line : lines)
        content.append(line.text).append(line.end);
    return WriteWholeFile(files, path, content);
}

}  // namespace

IniFile::IniFile(std::string path, FileSystem& files) : m_path(std::move(path)), m_files(files) {}

std::string IniFile::Read(const std::string& section, const std::string& key, const std::string& defaultValue) const
{
    const auto content = ReadWholeFile(m_files, m_path, kMaxIniBytes);
    if (!content)
        return defaultValue;
    const auto lines = SplitLines(*content);
    const auto span = FindSection(lines, section);
    if (!span)
        return defaultValue;
    std::string value;
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        if (MatchKey(lines[i].text, key, &value))
            return value;
    }
    return defaultValue;
}

bool IniFile::Write(const std::string& section, const std::string& key, const std::string& value) const
{
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return false;
    std::vector<Line> lines;
    if (m_files.KindOf(m_path) != FileKind::None) {
        const auto content = ReadWholeFile(m_files, m_path, kMaxIniBytes);
        if (!content)
            return false;
        lines = SplitLines(*content);
    }
    PutKey(lines, section, key, value);
    return ReplaceFile(m_files, m_path, lines);
}

std::string UserSettingsFolder()
{
#ifdef _WIN32
    // Read wide: a user folder such as C:\Users\José\AppData\Roaming is outside the ANSI code page.
    const wchar_t* appData = _wgetenv(L"APPDATA");
    return appData && *appData ? Utf8FromPath(std::filesystem::path(appData)) : "";
#else
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config)
        return config;
    const char* home = std::getenv("HOME");
    return home && *home ? JoinPath(home, ".config") : "";
#endif
}

}  // namespace platform
