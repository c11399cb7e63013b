#include "export/PendingProjects.h"

#include <algorithm>

namespace {

bool IsListed(const std::vector<sobinder>& listed, int number)
{
    return std::any_of(listed.begin(), listed.end(),
                       [number](const sobinder& record) { return record.projectNumber == number; });
}

}  // namespace

std::vector<FnbTextProject> PendingProjects(const std::string& disk, const std::vector<sobinder>& listed)
{
    std::vector<FnbTextProject> pending;
    const auto text = ReadFnbTextProjects(disk);
    if (!text || text->writtenByRecorder)
        return pending;
    for (const auto& project : text->projects) {
        const auto number = ProjectNumberValue(project.number);
        if (number && !IsListed(listed, *number))
            pending.push_back(project);
    }
    return pending;
}
