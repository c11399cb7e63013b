#include "platform/Terminal.h"

#include <ctime>

#ifdef _WIN32
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace platform {

bool IsTerminal(std::FILE* stream)
{
#ifdef _WIN32
    // Only a console has a console mode: _isatty() also says yes for NUL and other devices.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
#else
    return ::isatty(::fileno(stream)) == 1;
#endif
}

void UseStarterConsole()
{
#ifdef _WIN32
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output != nullptr && output != INVALID_HANDLE_VALUE)
        return;  // a console, a file or a pipe already
    if (AttachConsole(ATTACH_PARENT_PROCESS))
        static_cast<void>(std::freopen("CONOUT$", "w", stdout));
#endif
}

std::string LocalTimeText(const char* format)
{
    constexpr std::size_t kTextSize = 64;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[kTextSize];
    const std::size_t length = std::strftime(text, sizeof text, format, &local);
    return std::string(text, length);
}

}  // namespace platform
