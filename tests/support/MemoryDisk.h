#pragma once
// Recorder disks in memory: the disk writer lays a disk out in a temporary folder,
// and its files are carried into a memory file system, where a test reads them
// without touching a disk again.

#include "tests/support/MemoryFileSystem.h"
#include "recorder/Records.h"

#include <cstdint>
#include <string>

namespace diskwriter {
class Disk;
}

namespace testsupport {

// Writes `disk` and adds its files to `files` inside `folder`, which is created there.
void LoadDisk(const diskwriter::Disk& disk, testsupport::MemoryFileSystem& files, const std::string& folder);

// The record of project `number` as the project list of the disk in `folder` reads
// it (generated names included): what the project selection hands an export.
sobinder ListedProject(platform::FileSystem& files, const std::string& folder, std::uint16_t number);

}  // namespace testsupport
