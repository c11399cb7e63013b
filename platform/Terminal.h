#pragma once
// Facts about the process's standard streams and the clock.

#include <cstdio>
#include <string>

namespace platform {

// True when `stream` is an interactive terminal (not a file or a pipe).
bool IsTerminal(std::FILE* stream);

// The current local time as `format` (strftime) gives it.
std::string LocalTimeText(const char* format);

}  // namespace platform
