#include "tests/support/MemoryDisk.h"

#include "export/ProjectList.h"
#include "platform/Files.h"

#include "platform/Files.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <stdexcept>
#include <filesystem>

namespace testsupport {

void LoadDisk(const diskwriter::Disk& disk, testsupport::MemoryFileSystem& files, const std::string& folder)
{
    TempFolder written;
    disk.Write(written.Path());
    files.AddFolder(folder);
    for (const auto& entry : std::filesystem::directory_iterator(written.Path())) {
        const std::string name = entry.path().filename().string();
        files.AddFile(platform::JoinPath(folder, name), ReadBytes(written.File(name)));
    }
}

sobinder ListedProject(platform::FileSystem& files, const std::string& folder, std::uint16_t number)
{
    const ProjectListing listing = ReadProjectList(platform::JoinPath(folder, kBinderFileName), files);
    for (const sobinder& record : listing.records) {
        if (record.projectNumber == number)
            return record;
    }
    throw std::runtime_error("no project " + std::to_string(number) + " listed in " + folder);
}

}  // namespace testsupport
