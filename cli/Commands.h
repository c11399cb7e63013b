#pragma once
// The commands of wavelorn-cli. Each returns the process's exit status.

#include "platform/Interruption.h"
#include "recorder/Errors.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

enum ExitStatus : int {
    kExitSuccess = 0,
    kExitRunFailed = 1,  // the run failed with one of the system's messages
    kExitUsage = 2,      // bad arguments or input
    kExitInterrupted = platform::kInterruptedExitStatus,  // a signal asked the run to stop
};

struct ExportOptions {
    std::string disk;
    std::string project;
    std::string tracks;
    bool stereo = false;
    std::string type;  // empty: follows the extension of `out`
    std::string out;
    bool yes = false;
};

struct ImportOptions {
    std::string disk;
    std::string name;
    std::vector<std::string> files;
    unsigned rate = 0;  // 0: chosen from the sources
    unsigned bits = 0;  // 0: chosen from the sources
    bool noDither = false;
};

struct ArchiveCommandOptions {
    std::string disk;
    std::string outdir;
    std::string format = "wav";  // wav or flac
    bool verify = false;
    bool replace = false;  // move an archive of other disk contents aside
    bool check = false;    // check the archive in `disk` (the one folder given) on its own
};

struct ListOptions {
    std::string disk;
    bool tracks = false;  // a line per recorded track under each project
};

int ListCommand(const ListOptions& options);
int ExportCommand(const ExportOptions& options);
int ImportCommand(const ImportOptions& options);
int DemoCommand(const std::string& folder);
int ArchiveCommand(const ArchiveCommandOptions& options);

// Prints a usage or input error of the tool itself to stderr (and records it as the
// refusal of the run's document); returns kExitUsage.
int UsageError(const std::string& text);
// Prints why a run or check failed (after the system's message) to stderr, and records
// both as the refusal of the run's document.
void PrintReason(const Refusal& refusal);
// Says that a stop request ended the run; returns kExitInterrupted.
int Interrupted();
// Prints what a run noticed and went on despite to stderr (not under --quiet), and
// records it in the run's document.
void PrintWarnings(const std::vector<Warning>& warnings);

// True when `path` names an existing folder.
bool IsFolder(const std::string& path);

// Why `disk` cannot be read as a recorder disk: it is no folder, or a folder that holds
// none of the recorder's files. Every command that reads a disk asks this first, and a
// refusal is a usage error.
std::optional<std::string> DiskRefusal(const std::string& disk);

}  // namespace cli
