#pragma once
// The projects an import has handed to the recorder that it has not taken over yet:
// blocks of FNB.TXT whose number FNB.BIN does not list, while the text is still the
// tool's own (its first line holds no VERSIONID:).

#include "recorder/FnbTextProjects.h"
#include "recorder/Records.h"

#include <string>
#include <vector>

// In FNB.TXT's order; `listed` are the project records of FNB.BIN.
std::vector<FnbTextProject> PendingProjects(const std::string& disk, const std::vector<sobinder>& listed);
