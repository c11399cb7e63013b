#pragma once
// Facts about the process's standard streams and the clock.

#include <cstdio>
#include <string>

namespace platform {

// True when `stream` is an interactive terminal (not a file or a pipe).
bool IsTerminal(std::FILE* stream);

// Gives a window program (one without a console of its own, as wavelorn.exe on
// Windows) whose standard output goes nowhere the console of the program that started
// it, such as a Command Prompt, for what it prints there. Elsewhere, and with standard
// output redirected, nothing changes.
void UseStarterConsole();

// The current local time as `format` (strftime) gives it.
std::string LocalTimeText(const char* format);

}  // namespace platform
