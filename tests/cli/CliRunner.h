#pragma once
// Runs the built wavelorn-cli in a test and captures what it printed.

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct CliResult {
    int exitStatus = -1;
    std::string out;  // stdout
    std::string err;  // stderr
};

// Runs wavelorn-cli with `arguments` (each passed as one word), stdin closed.
CliResult RunCli(const std::vector<std::string>& arguments, const std::string& workingFolder = {});

#ifndef _WIN32
// Runs wavelorn-cli as RunCli does and sends it `signal` once `due` holds.
CliResult RunCliSignalled(const std::vector<std::string>& arguments, int signal, const std::function<bool()>& due);
#endif

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace testsupport
