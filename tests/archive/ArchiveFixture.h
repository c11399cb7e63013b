#pragma once
// Recorder disks for the archive tests, what an archive folder holds, and a console
// that records what an archive reports.

#include "archive/ArchiveRun.h"
#include "platform/FileSystem.h"
#include "tools/diskwriter/DiskWriter.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

// Keeps the archive's lines and files; its one bar records how far it went and asks
// the run to stop from a chosen question on.
class RecordingConsole : public archive::ArchiveConsole {
public:
    void Warn(const std::string& text) override { warnings.push_back(text); }
    void Listed(const std::string& file) override { listed.push_back(file); }
    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override;

    // True when a line holds `part`.
    bool Warned(const std::string& part) const;

    std::vector<std::string> warnings;
    std::vector<std::string> listed;
    std::uint64_t total = 0;
    std::uint64_t done = 0;
    bool backwards = false;
    // The bar asks the run to stop from this question on (from 0); negative: never.
    int stopAtPoll = -1;
    int polls = 0;  // how often the run asked
    // Called whenever the bar moves, while the run goes on.
    std::function<void()> onProgress;
};

// Three projects: 16 bit at 44.1 kHz with two tracks and a virtual track 3, a gap
// and a lead-in; an unnamed one of 20 bit at 32 kHz on track 8, virtual track 8;
// and one of 24 bit at 48 kHz of the first one's number and name, with two segments.
diskwriter::Disk ArchiveDisk();

// ArchiveDisk and a fourth project whose track 1 spans several recorder blocks.
diskwriter::Disk LongTrackDisk();

// The same disk's first project, then one of an unknown rate code, then one whose
// track 1 lacks its data file, whose track 2 chain links out of FNB.BIN and whose
// track 3 is sound.
diskwriter::Disk DamagedDisk();

// Every file below `folder` in `files` by its path relative to it ('/' between names),
// with its bytes; every manifest.json without its date.
std::map<std::string, std::string> ArchiveTree(const std::string& folder,
                                               platform::FileSystem& files = platform::RealFileSystem());

}  // namespace testsupport
