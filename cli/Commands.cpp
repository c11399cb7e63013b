#include "cli/Commands.h"

#include "cli/DemoDisk.h"
#include "cli/Output.h"
#include "platform/FileSystem.h"
#include "platform/Messages.h"
#include "recorder/Records.h"

namespace cli {

namespace {

constexpr const char* kInterruptedText = "interrupted";

}  // namespace

bool IsFolder(const std::string& path)
{
    return platform::RealFileSystem().KindOf(path) == platform::FileKind::Folder;
}

std::optional<std::string> DiskRefusal(const std::string& disk)
{
    if (!IsFolder(disk))
        return "not a folder: " + disk;
    if (!HoldsRecorderFiles(disk))
        return "not a recorder disk: " + disk + " holds none of the recorder's files (" + kBinderFileName + ", " +
               kFnbTextFileName + ", " + kHfsFileName + ", track data files)";
    return std::nullopt;
}

int UsageError(const std::string& text)
{
    PrintError(text);
    RecordRefusal(nullptr, text);
    return kExitUsage;
}

void PrintReason(const Refusal& refusal)
{
    const std::string reason = Explain(refusal);
    if (!reason.empty())
        PrintError(reason);
    RecordRefusal(WithLineBreaks(MessageText(refusal.id)), reason);
}

int Interrupted()
{
    PrintError(kInterruptedText);
    RecordRefusal(nullptr, kInterruptedText);
    return kExitInterrupted;
}

void PrintWarnings(const std::vector<Warning>& warnings)
{
    for (const auto& warning : warnings)
        PrintToolWarning(Explain(warning));
}

}  // namespace cli
