#pragma once
// Runs the built wavelorn-cli in a test and captures what it printed.

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

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace testsupport
