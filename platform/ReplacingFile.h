#pragma once
// Writing a file without putting the file it replaces at risk. The bytes go to a
// temporary beside the final name (platform/TemporaryFile), which takes the final
// name only once everything was written and closed without an error. Until then the
// final name keeps what it held; a failure removes the temporary. Whole small files
// are read and written here too.

#include "platform/FileSystem.h"
#include "platform/TemporaryFile.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Opens `path` in `files` to write it from empty, as WriteMode::Replace would.
//
// When the name is free or holds a regular file (not a symbolic link to one), the
// returned file writes a temporary in the same folder. Its Close syncs and closes the
// temporary, gives it the permission bits of the file it replaces, renames it over
// `path` and syncs the folder; when the sync, the close or the rename fails, or the file is destroyed without Close, the
// temporary is removed and `path` is left as it was. A replacement therefore needs
// room for both files until the rename.
//
// Any other name (a symbolic link, a device, a pipe) is written in place and never
// renamed over: replacing it would cut the link or lose what it is. Its Close syncs
// it where the system can (a pipe has no device to sync).
//
// A Close that fails only at the folder's sync has renamed the file into place.
//
// Null when the file cannot be opened.
std::unique_ptr<OutputFile> OpenReplacing(FileSystem& files, const std::string& path);

// Writes `bytes` as the whole content of `path`, through OpenReplacing.
bool WriteWholeFile(FileSystem& files, const std::string& path, std::string_view bytes);

// The bytes of a file; nothing when it cannot be read or holds more than `maxBytes`.
std::optional<std::string> ReadWholeFile(FileSystem& files, const std::string& path,
                                         std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max());

}  // namespace platform
