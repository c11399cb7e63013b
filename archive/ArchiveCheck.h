#pragma once
// `wavelorn-cli archive --check OUTDIR`: an archive checked on its own, when the disk
// it was made of is gone. Every file against SHA256SUMS, the manifest against the
// files and SHA256SUMS, and every track file against a fresh decode of the raw
// copies in OUTDIR/disk/.

#include "archive/ArchiveRun.h"
#include "platform/FileSystem.h"

#include <string>

namespace archive {

// Returns the exit status: 0 when everything holds, 1 when anything differs (each
// mismatch named on the console), 2 when `outdir` holds no manifest this program wrote,
// platform::kInterruptedExitStatus when the console's window asked it to stop.
int CheckArchive(const std::string& outdir, platform::FileSystem& files, ArchiveConsole& console);

}  // namespace archive
