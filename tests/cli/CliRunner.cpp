#include "tests/cli/CliRunner.h"

#include "platform/Files.h"
#include "tests/support/Process.h"
#include "tests/support/TempFolder.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace testsupport {

namespace {

std::string Slurp(const std::string& path)
{
    std::ifstream in(platform::PathFromUtf8(path), std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
#ifdef _WIN32
    // The tool's standard streams are text streams there: each line ends in CR LF.
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            lines += text[i];
    text = lines;
#endif
    return text;
}

// Runs wavelorn-cli through `run` with its output captured.
CliResult Captured(const std::vector<std::string>& arguments, const std::string& workingFolder,
                   const std::function<std::optional<int>(const ProcessRequest&)>& run)
{
    TempFolder capture;
    const ProcessRequest request{WAVELORN_CLI_PATH, arguments, workingFolder, capture.File("out"), capture.File("err")};
    CliResult result;
    result.exitStatus = run(request).value_or(-1);
    result.out = Slurp(capture.File("out"));
    result.err = Slurp(capture.File("err"));
    return result;
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& arguments, const std::string& workingFolder)
{
    return Captured(arguments, workingFolder, RunProcess);
}

#ifndef _WIN32
CliResult RunCliSignalled(const std::vector<std::string>& arguments, int signal, const std::function<bool()>& due)
{
    return Captured(arguments, {}, [&](const ProcessRequest& request) { return RunProcessSignalled(request, signal, due); });
}
#endif


std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace testsupport
