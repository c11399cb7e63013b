#include "cli/Commands.h"

#include "cli/DemoDisk.h"
#include "cli/Output.h"
#include "platform/Files.h"

#include <cstdio>
#include <exception>

namespace cli {

namespace {

void DescribeDemo(const std::string& folder)
{
    if (Quiet())
        return;
    std::fprintf(stderr, "Demo disk written to %s\n", folder.c_str());
    std::fprintf(stderr, "Projects 01 \"Sine Demo\" (16 bit, 44.1 kHz), 02 \"Twenty Bit\" (20 bit, 32 kHz), "
                         "03 without a name (24 bit, 48 kHz). Tones:\n");
    for (const auto& tone : DemoTones()) {
        std::fprintf(stderr, "  project %02d track %d virtual track %d: %.0f Hz sine, %s\n", tone.project,
                     tone.track, tone.virtualTrack, tone.frequency, tone.note);
    }
}

}  // namespace

int DemoCommand(const std::string& folder)
{
    if (!platform::CreateFolders(folder))
        return UsageError("cannot create the folder " + folder);
    if (HoldsRecorderFiles(folder))
        return UsageError(folder + " already holds a recorder disk; choose an empty folder");
    try {
        WriteDemoDisk(folder);
    } catch (const std::exception& failure) {
        PrintError(std::string(failure.what()) + " in " + folder);
        return kExitRunFailed;
    }
    DescribeDemo(folder);
    return kExitSuccess;
}

}  // namespace cli
