#include "cli/Commands.h"

#include "export/ProjectList.h"
#include "platform/Files.h"

#include <cstdio>

namespace cli {

namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7f;

// Recorder texts reach the console as raw bytes; a control byte would steer the
// terminal, so it is shown as '?'.
std::string ConsoleBytes(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < kFirstPrintable || byte == kDelete)
            c = '?';
    }
    return out;
}

}  // namespace

int ListCommand(const std::string& disk)
{
    if (!IsFolder(disk))
        return UsageError("not a folder: " + disk);
    const ProjectListing listing = ReadProjectList(platform::JoinPath(disk, kBinderFileName));
    if (!listing.indexOpened)
        return UsageError("cannot open the project index " + std::string(kBinderFileName) + " in " + disk);
    for (const auto& record : listing.records) {
        const std::string line = ConsoleBytes(ProjectListLine(record)) + "\t" + SampleRateText(record.sampleRate) +
                                 "\t" + BitsText(record.wordLength) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return kExitSuccess;
}

}  // namespace cli
