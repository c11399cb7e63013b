#include "platform/Files.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cctype>

namespace fs = std::filesystem;

namespace platform {

char PathSeparator()
{
    return static_cast<char>(fs::path::preferred_separator);
}

bool IsPathSeparator(char c)
{
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::string WithTrailingSeparator(const std::string& folder)
{
    if (folder.empty() || IsPathSeparator(folder.back()))
        return folder;
    return folder + PathSeparator();
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return WithTrailingSeparator(folder) + name;
}

namespace {

std::string::size_type LastSeparator(const std::string& path)
{
    for (auto i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1]))
            return i - 1;
    }
    return std::string::npos;
}

}  // namespace

std::string FolderPart(const std::string& path)
{
    const auto separator = LastSeparator(path);
    if (separator == std::string::npos)
        return {};
#ifdef _WIN32
    // A drive's root keeps its separator: "E:" alone names the drive's current folder.
    if (separator == 2 && path[1] == ':')
        return path.substr(0, 3);
#endif
    return path.substr(0, separator == 0 ? 1 : separator);
}

std::string NamePart(const std::string& path)
{
    const auto separator = LastSeparator(path);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::filesystem::path PathFromUtf8(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool CreateFolders(const std::string& path)
{
    std::error_code error;
    const fs::path native = PathFromUtf8(path);
    fs::create_directories(native, error);
    return fs::is_directory(native, error);
}

std::string CurrentFolder()
{
    std::error_code error;
    const fs::path current = fs::current_path(error);
    return error ? std::string() : Utf8FromPath(current);
}

std::optional<std::string> ExactNameAmong(const std::vector<FolderEntry>& entries, const std::string& name)
{
    // The entries come in byte order: the first that matches regardless of case wins
    // unless the exact spelling follows.
    std::optional<std::string> firstMatch;
    for (const auto& entry : entries) {
        if (entry.kind != FileKind::Regular || !EqualsIgnoringCase(entry.name, name))
            continue;
        if (entry.name == name)
            return entry.name;
        if (!firstMatch)
            firstMatch = entry.name;
    }
    return firstMatch;
}

std::optional<std::string> FindExactName(FileSystem& files, const std::string& folder, const std::string& name)
{
    const auto entries = files.ListFolder(folder);
    if (!entries)
        return std::nullopt;
    return ExactNameAmong(*entries, name);
}

std::optional<std::string> FindExactName(const std::string& folder, const std::string& name)
{
    return FindExactName(RealFileSystem(), folder, name);
}

std::optional<std::string> FindFile(FileSystem& files, const std::string& path)
{
    const std::string folder = FolderPart(path);
    const auto found = FindExactName(files, folder, NamePart(path));
    if (!found)
        return std::nullopt;
    return folder.empty() ? *found : JoinPath(folder, *found);
}

std::optional<std::string> FindFile(const std::string& path)
{
    return FindFile(RealFileSystem(), path);
}

}  // namespace platform
