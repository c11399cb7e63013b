#pragma once
// Does in a test what the recorder does when it takes FNB.TXT over: the last
// project block of FNB.TXT becomes a project of FNB.BIN, each of its track blocks
// one segment (start "BASEDTIME:", length "TRKSAMPLE:", file serial from
// "TRKSERIAL:", lead-in 0). The data files stay as the import wrote them.

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct TakenOverSegment {
    int track;
    std::uint32_t startGroup;
    std::uint32_t lengthGroups;
    std::uint16_t serial;
};

struct TakenOverProject {
    std::uint16_t number = 0;
    std::string name;
    std::uint8_t rate = 0;
    std::uint8_t wordLength = 0;
    std::vector<TakenOverSegment> segments;
};

// Reads the last project block of the FNB.TXT in `folder` and the track blocks after it.
TakenOverProject ReadLastProject(const std::string& folder);

// Writes FNB.BIN and HFS.BIN of `folder` anew, holding just `project` (at slot 2).
// FNB.TXT and the data files are left as they are.
void TakeOver(const std::string& folder, const TakenOverProject& project);

}  // namespace testsupport
