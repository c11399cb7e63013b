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

}  // namespace cli
