#include "platform/Interruption.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace platform {

namespace {

// Set from a signal handler (or the console's handler thread on Windows): it must be lock-free.
std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

#ifdef _WIN32
// Windows ends the process once the handler of a console close returns: the handler
// waits this long so that the run can remove what it had begun.
constexpr DWORD kCloseGraceMilliseconds = 4000;

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        g_stopRequested.store(true);
        return TRUE;
    case CTRL_CLOSE_EVENT:
        g_stopRequested.store(true);
        Sleep(kCloseGraceMilliseconds);
        return TRUE;
    default:
        return FALSE;
    }
}
#else
extern "C" void OnStopSignal(int)
{
    g_stopRequested.store(true);
}
#endif

}  // namespace

void CatchStopRequests()
{
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes go on after the handler; the run notices the flag at its next block.
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
#endif
}

bool StopRequestArrived()
{
    return g_stopRequested.load();
}

}  // namespace platform
