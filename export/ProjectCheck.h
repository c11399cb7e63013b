#pragma once
// Whether the project chosen for an export is still the one on the disk: a disk
// change after the choice must not let the old record read another disk's chains.

#include "recorder/Records.h"

#include <string>

// True when the project list of the FNB.BIN at `fnbPath`, read by the same rules
// as the project selection (generated names included), holds a record equal to
// `chosen` in all its 64 bytes.
bool ProjectStillOnDisk(const std::string& fnbPath, const sobinder& chosen);
