#include "tests/support/MemoryDisk.h"

#include "platform/Files.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <filesystem>

namespace testsupport {

void LoadDisk(const diskwriter::Disk& disk, platform::MemoryFileSystem& files, const std::string& folder)
{
    TempFolder written;
    disk.Write(written.Path());
    files.AddFolder(folder);
    for (const auto& entry : std::filesystem::directory_iterator(written.Path())) {
        const std::string name = entry.path().filename().string();
        files.AddFile(platform::JoinPath(folder, name), ReadBytes(written.File(name)));
    }
}

}  // namespace testsupport
