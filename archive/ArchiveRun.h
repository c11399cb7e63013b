#pragma once
// `wavelorn-cli archive`: a whole recorder disk into one folder. The disk's own files
// are copied byte for byte into OUTDIR/disk/; every track and virtual track that holds
// a recording becomes a mono file in a folder per project, decoded from those copies;
// manifest.json and SHA256SUMS describe it all. What cannot be read is left out with
// its reason and the rest goes on; a run on a folder that holds an earlier archive of
// the same disk keeps what is complete and correct there and redoes the rest, naming
// each file it redoes and why. A folder that holds an archive of other disk contents
// is refused, or with `replace` moved aside first (see ArchiveSnapshot.h).

#include "archive/ArchiveFiles.h"
#include "archive/ArchiveNames.h"
#include "platform/FileSystem.h"
#include "platform/UserInterface.h"

#include <memory>
#include <optional>
#include <string>

namespace archive {

struct ArchiveOptions {
    std::string disk;
    std::string outdir;
    ArchiveFormat format = ArchiveFormat::Wave;
    bool verify = false;
    bool replace = false;  // move an archive of other disk contents aside
    ReadRetries retries{};  // for the reads of the disk's files that fail
};

// Where an archive reports.
class ArchiveConsole {
public:
    virtual ~ArchiveConsole() = default;
    // A warning, a left-out part or a mismatch (standard error).
    virtual void Warn(const std::string& text) = 0;
    // A file of the archive, written or kept, relative to OUTDIR (standard output).
    virtual void Listed(const std::string& file) = 0;
    // The one progress bar; null for none.
    virtual std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() = 0;
};

// Archives options.disk into options.outdir (created when missing) through `files`,
// holding the folder's writer lock throughout. The caller has checked that the disk
// is a folder and that neither folder lies in the other. Returns the exit status: 0
// when everything was archived (and verified); 1 when anything was left out (a range
// of a disk file that stayed unreadable too: zero in its copy, listed in the manifest
// and in OUTDIR/rescue-map.json), a check
// failed, the archive could not be written, the disk changed while it was read, or
// another archive is writing into the folder (nothing changed); 2 when the folder
// holds an archive of other disk contents (nothing changed); and
// platform::kInterruptedExitStatus when the console's window asked it to stop.
int RunArchive(const ArchiveOptions& options, platform::FileSystem& files, ArchiveConsole& console);

// True when `path` is `folder` or lies inside it, links resolved.
bool IsSameOrInside(const std::string& path, const std::string& folder);

// Why `outdir` cannot take an archive of the folder `disk`: it lies inside the disk
// (which is never written), the disk lies inside it, or it is something other than a
// folder. Nothing when it can (a missing folder is created by the run).
std::optional<std::string> OutdirRefusal(const std::string& disk, const std::string& outdir,
                                         platform::FileSystem& files);

}  // namespace archive
