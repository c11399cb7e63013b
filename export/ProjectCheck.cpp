#include "export/ProjectCheck.h"

#include "export/ProjectList.h"

#include <algorithm>
#include <cstring>

static_assert(sizeof(sobinder) == 64, "a project record is compared byte for byte");

bool ProjectGoneFromDisk(const std::string& fnbPath, const sobinder& chosen, platform::FileSystem& files)
{
    const ProjectListing listing = ReadProjectList(fnbPath, files);
    return listing.indexOpened &&
           std::none_of(listing.records.begin(), listing.records.end(), [&chosen](const sobinder& record) {
               return std::memcmp(&record, &chosen, sizeof record) == 0;
           });
}
