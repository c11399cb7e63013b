#include "cli/PendingProjects.h"

#include "cli/TrackList.h"

#include <algorithm>

namespace cli {

std::optional<unsigned> NumberOf(const FnbTextProject& project)
{
    return ParseProjectNumber(project.number);
}

std::vector<FnbTextProject> PendingProjects(const std::string& disk, const std::vector<unsigned>& listed)
{
    std::vector<FnbTextProject> pending;
    const auto text = ReadFnbTextProjects(disk);
    if (!text || text->writtenByRecorder)
        return pending;
    for (const auto& project : text->projects) {
        const auto number = NumberOf(project);
        if (number && std::find(listed.begin(), listed.end(), *number) == listed.end())
            pending.push_back(project);
    }
    return pending;
}

}  // namespace cli
