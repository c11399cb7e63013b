#include "tests/support/RecorderTakeover.h"

#include "platform/Files.h"
#include "tools/diskwriter/DiskWriter.h"

#include <fstream>
#include <stdexcept>

namespace testsupport {

namespace {

// The value after "KEY: " when `line` starts with the key.
bool ValueOf(const std::string& line, const std::string& key, std::string& value)
{
    const std::string prefix = key + ": ";
    if (line.rfind(prefix, 0) != 0)
        return false;
    value = line.substr(prefix.size());
    return true;
}

}  // namespace

TakenOverProject ReadLastProject(const std::string& folder)
{
    const auto path = platform::FindFile(platform::JoinPath(folder, "FNB.TXT"));
    if (!path)
        throw std::runtime_error("no FNB.TXT in " + folder);
    std::ifstream text(*path, std::ios::binary);
    TakenOverProject project;
    TakenOverSegment segment{};
    std::string line;
    std::string value;
    while (std::getline(text, line, '\n')) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (ValueOf(line, "SNGSERIAL", value)) {
            project = {};
            project.number = static_cast<std::uint16_t>(std::stoi(value));
        } else if (ValueOf(line, "SONGTITLE", value)) {
            project.name = value;
        } else if (ValueOf(line, "RECORDBIT", value)) {
            project.wordLength = static_cast<std::uint8_t>(std::stoi(value));
        } else if (ValueOf(line, "RECORDFSC", value)) {
            project.rate = static_cast<std::uint8_t>(std::stoi(value));
        } else if (ValueOf(line, "TRKSERIAL", value)) {
            segment = {};
            segment.serial = static_cast<std::uint16_t>(std::stoi(value.substr(0, 5)));
        } else if (ValueOf(line, "TRKNUMBER", value)) {
            segment.track = std::stoi(value);
        } else if (ValueOf(line, "BASEDTIME", value)) {
            segment.startGroup = static_cast<std::uint32_t>(std::stoul(value));
        } else if (ValueOf(line, "TRKSAMPLE", value)) {
            segment.lengthGroups = static_cast<std::uint32_t>(std::stoul(value));
            project.segments.push_back(segment);
        }
    }
    return project;
}

void TakeOver(const std::string& folder, const TakenOverProject& project)
{
    diskwriter::Disk disk;
    auto& added = disk.AddProject({.slot = 2, .number = project.number, .name = project.name, .rate = project.rate,
                                   .wordLength = project.wordLength});
    for (const auto& segment : project.segments) {
        added.AddSegment({.track = segment.track,
                          .virtualTrack = 1,
                          .startGroup = segment.startGroup,
                          .lengthGroups = segment.lengthGroups,
                          .serial = segment.serial,
                          .missingFile = true});
    }
    disk.Write(folder);
}

}  // namespace testsupport
