#pragma once
// Runs the built wavelorn-cli in a test and captures what it printed.

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

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

// A test on a demo disk that wavelorn-cli wrote, with a second folder for the files
// the test writes or reads (its outputs, its import sources).
class DemoDiskTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(RunCli({"demo", m_disk.Path()}).exitStatus, 0); }
    std::string Disk() const { return m_disk.Path(); }
    std::string Out(const std::string& name) const { return m_files.File(name); }
    std::string Source(const std::string& name) const { return m_files.File(name); }

private:
    TempFolder m_disk;
    TempFolder m_files;
};

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace testsupport
