#pragma once
// Whether the project chosen for an export is still the one on the disk: a disk
// change after the choice must not let the old record read another disk's chains.

#include "platform/FileSystem.h"
#include "recorder/Records.h"

#include <string>

// True when the FNB.BIN at `fnbPath` can be opened and its project list, read by the
// same rules as the project selection (generated names included), holds no record
// equal to `chosen` in all its 64 bytes. An index that cannot be opened is left to
// the export's own checks, which say why.
bool ProjectGoneFromDisk(const std::string& fnbPath, const sobinder& chosen,
                         platform::FileSystem& files = platform::RealFileSystem());

// True when the FNB.BIN at `fnbPath` can be opened and lists a record equal to `chosen`
// in all its 64 bytes: whether a project chosen on one disk may stay chosen on another.
bool DiskListsProject(const std::string& fnbPath, const sobinder& chosen,
                      platform::FileSystem& files = platform::RealFileSystem());
