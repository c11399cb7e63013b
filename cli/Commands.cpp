#include "cli/Commands.h"

#include "platform/FileSystem.h"

#include <cstdio>

namespace cli {

bool IsFolder(const std::string& path)
{
    return platform::RealFileSystem().KindOf(path) == platform::FileKind::Folder;
}

int UsageError(const std::string& text)
{
    std::fprintf(stderr, "wavelorn-cli: %s\n", text.c_str());
    return kExitUsage;
}

void PrintReason(const Refusal& refusal)
{
    const std::string reason = Explain(refusal);
    if (!reason.empty())
        std::fprintf(stderr, "wavelorn-cli: %s\n", reason.c_str());
}

int Interrupted()
{
    std::fprintf(stderr, "wavelorn-cli: interrupted\n");
    return kExitInterrupted;
}

void PrintWarnings(const std::vector<Warning>& warnings)
{
    for (const auto& warning : warnings)
        std::fprintf(stderr, "wavelorn-cli: warning: %s\n", Explain(warning).c_str());
}

}  // namespace cli
