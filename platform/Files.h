#pragma once
// File-system services the recorder logic needs: exact-name lookup that tolerates
// a disk mounted with changed letter case, and path joining.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class FileSystem;
struct FolderEntry;

// Paths travel through the program as UTF-8 text. These two are the only places where
// such text becomes a native path and back (on Windows a plain conversion would use
// the ANSI code page and break names outside it).
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// The native path separator ('/' here, '\\' on Windows).
char PathSeparator();

// True when c separates path components on this platform (Windows accepts both slashes).
bool IsPathSeparator(char c);

// The folder with exactly one trailing separator added when it has none.
// An empty folder stays empty.
std::string WithTrailingSeparator(const std::string& folder);

// Joins a folder and a name with the native separator; a folder given with or
// without a trailing separator gives the same result.
std::string JoinPath(const std::string& folder, const std::string& name);

// Splits a path into its folder (without the trailing separator) and its last
// component. A path without a separator has an empty folder.
std::string FolderPart(const std::string& path);
std::string NamePart(const std::string& path);

// Looks up `name` inside `folder` and returns the name as it is spelt on disk.
// The exact spelling wins; otherwise the first entry in sorted (byte) order whose
// name equals `name` without regard to ASCII case. Only regular files count.
std::optional<std::string> FindExactName(FileSystem& files, const std::string& folder, const std::string& name);
std::optional<std::string> FindExactName(const std::string& folder, const std::string& name);
// The same among the entries of a folder already listed (in byte order).
std::optional<std::string> ExactNameAmong(const std::vector<FolderEntry>& entries, const std::string& name);

// The full path of a file as it is on disk, found by FindExactName on the last
// component of `path`, or nothing when no such file exists.
std::optional<std::string> FindFile(FileSystem& files, const std::string& path);
std::optional<std::string> FindFile(const std::string& path);

// Creates a folder and any missing parents; true when the folder exists afterwards.
bool CreateFolders(const std::string& path);

// The process's current folder; empty when it cannot be found.
std::string CurrentFolder();

// Compares two names without regard to ASCII case.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

}  // namespace platform
