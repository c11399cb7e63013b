#pragma once
// Starts another program and waits for it, without a shell: each argument reaches
// the program as it is. Its standard input is empty; its standard output and error
// go to files. Used where one program drives another (the command-line tool's tests).

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct ProcessRequest {
    std::string program;                 // full path of the executable
    std::vector<std::string> arguments;  // without the program itself
    std::string workingFolder;           // empty: the caller's
    std::string outputPath;              // receives standard output
    std::string errorPath;               // receives standard error
};

// The program's exit status; nothing when it could not be started or did not exit normally.
std::optional<int> RunProcess(const ProcessRequest& request);

#ifndef _WIN32
// As RunProcess, but sends `signal` to the program once `due` (asked every
// millisecond while it runs) first holds; a program that ends before gets none.
std::optional<int> RunProcessSignalled(const ProcessRequest& request, int signal, const std::function<bool()>& due);

// A program started as RunProcess starts it and left running beside the test (a file
// system program in the foreground); sent SIGTERM and waited for when destroyed.
class RunningProcess {
public:
    explicit RunningProcess(const ProcessRequest& request);
    ~RunningProcess();
    RunningProcess(const RunningProcess&) = delete;
    RunningProcess& operator=(const RunningProcess&) = delete;

    // False once the program has ended, or when it could not be started.
    bool Running();

private:
    int m_child = -1;  // its process id; negative once waited for
};
#endif

}  // namespace testsupport
