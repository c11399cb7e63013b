#pragma once
// Recorder disks for the archive tests and what an archive folder holds.

#include "tools/diskwriter/DiskWriter.h"

#include <map>
#include <string>
#include <vector>

namespace testsupport {

// Three projects: 16 bit at 44.1 kHz with two tracks and a virtual track 3, a gap
// and a lead-in; an unnamed one of 20 bit at 32 kHz on track 8, virtual track 8;
// and one of 24 bit at 48 kHz of the first one's number and name, with two segments.
diskwriter::Disk ArchiveDisk();

// The same disk's first project, then one of an unknown rate code, then one whose
// track 1 lacks its data file, whose track 2 chain links out of FNB.BIN and whose
// track 3 is sound.
diskwriter::Disk DamagedDisk();

// Every file below `folder` by its path relative to it ('/' between names), with its
// bytes; every manifest.json without its date.
std::map<std::string, std::string> ArchiveTree(const std::string& folder);

}  // namespace testsupport
