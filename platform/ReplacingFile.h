#pragma once
// Writing a file without putting the file it replaces at risk. The bytes go to a
// hidden temporary beside the final name (".<name>.wavelorn-<random>"), which takes
// the final name only once everything was written and closed without an error. Until
// then the final name keeps what it held; a failure removes the temporary.

#include "platform/FileSystem.h"

#include <memory>
#include <string>

namespace platform {

// Opens `path` in `files` to write it from empty, as WriteMode::Replace would.
//
// When the name is free or holds a regular file (not a symbolic link to one), the
// returned file writes a temporary in the same folder. Its Close closes the temporary,
// gives it the permission bits of the file it replaces and renames it over `path`;
// when the close or the rename fails, or the file is destroyed without Close, the
// temporary is removed and `path` is left as it was. A replacement therefore needs
// room for both files until the rename.
//
// Any other name (a symbolic link, a device, a pipe) is written in place and never
// renamed over: replacing it would cut the link or lose what it is.
//
// Null when the file cannot be opened.
std::unique_ptr<OutputFile> OpenReplacing(FileSystem& files, const std::string& path);

// A hidden name beside `name` for writing it before it is complete:
// ".<name>.wavelorn-<random>", the random part eight characters of a-z and 0-9.
std::string TemporaryNameFor(const std::string& name);

// True for a name that TemporaryNameFor makes, also with more after the random part.
bool IsTemporaryName(const std::string& name);

}  // namespace platform
