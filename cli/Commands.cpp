#include "cli/Commands.h"

#include <cstdio>
#include <filesystem>

namespace cli {

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

int UsageError(const std::string& text)
{
    std::fprintf(stderr, "wavelorn-cli: %s\n", text.c_str());
    return kExitUsage;
}

}  // namespace cli
