#include "export/ProjectCheck.h"

#include "export/ProjectList.h"

#include <algorithm>
#include <cstring>
#include <optional>

static_assert(sizeof(sobinder) == 64, "a project record is compared byte for byte");

namespace {

// Whether the index lists `chosen`; nothing when it cannot be opened.
std::optional<bool> ListsProject(const std::string& fnbPath, const sobinder& chosen, platform::FileSystem& files)
{
    const ProjectListing listing = ReadProjectList(fnbPath, files);
    if (!listing.indexOpened)
        return std::nullopt;
    return std::any_of(listing.records.begin(), listing.records.end(), [&chosen](const sobinder& record) {
        return std::memcmp(&record, &chosen, sizeof record) == 0;
    });
}

}  // namespace

bool ProjectGoneFromDisk(const std::string& fnbPath, const sobinder& chosen, platform::FileSystem& files)
{
    return ListsProject(fnbPath, chosen, files) == false;
}

bool DiskListsProject(const std::string& fnbPath, const sobinder& chosen, platform::FileSystem& files)
{
    return ListsProject(fnbPath, chosen, files) == true;
}
