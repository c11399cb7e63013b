#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

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

std::optional<std::string> FindExactName(const std::string& folder, const std::string& name)
{
    std::error_code error;
    // With its separator a drive's root stays the root ("E:" alone names the drive's
    // current folder on Windows).
    const fs::path directory = folder.empty() ? fs::path(".") : fs::path(WithTrailingSeparator(folder));
    std::vector<std::string> matches;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (!EqualsIgnoringCase(entry, name))
            continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        if (entry == name)
            return entry;
        matches.push_back(entry);
    }
    if (matches.empty())
        return std::nullopt;
    return *std::min_element(matches.begin(), matches.end());
}

std::optional<std::string> FindFile(const std::string& path)
{
    const auto found = FindExactName(FolderPart(path), NamePart(path));
    if (!found)
        return std::nullopt;
    const std::string folder = FolderPart(path);
    return folder.empty() ? *found : JoinPath(folder, *found);
}

}  // namespace platform
