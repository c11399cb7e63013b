#include "export/ProjectCheck.h"

#include "export/ProjectList.h"

#include <algorithm>
#include <cstring>

static_assert(sizeof(sobinder) == 64, "a project record is compared byte for byte");

bool ProjectStillOnDisk(const std::string& fnbPath, const sobinder& chosen)
{
    const ProjectListing listing = ReadProjectList(fnbPath);
    return std::any_of(listing.records.begin(), listing.records.end(), [&chosen](const sobinder& record) {
        return std::memcmp(&record, &chosen, sizeof record) == 0;
    });
}
