#pragma once
// Requests to stop the running job from outside it: on POSIX the signals SIGINT,
// SIGTERM and SIGHUP, on Windows Ctrl+C, Ctrl+Break and closing the console. The
// handlers only set a flag; the runs poll it between blocks and end through their
// failure path, so nothing half-done stays behind.

namespace platform {

// The exit status of a process that a stop request ended, as shells report one
// that SIGINT ended (128 + 2).
inline constexpr int kInterruptedExitStatus = 130;

// Installs the handlers for the rest of the process's life. A request that arrives
// afterwards no longer ends the process at once: it is kept until asked for.
void CatchStopRequests();

// True once a stop request arrived after CatchStopRequests.
bool StopRequestArrived();

}  // namespace platform
