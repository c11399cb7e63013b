#include "tests/cli/CliRunner.h"

#include "tests/support/TempFolder.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>

namespace testsupport {

namespace {

std::string Quoted(const std::string& word)
{
    std::string quoted(1, '\'');
    for (char c : word) {
        if (c == '\'')
            quoted.append("'\\''");
        else
            quoted.push_back(c);
    }
    quoted.push_back('\'');
    return quoted;
}

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& arguments, const std::string& workingFolder)
{
    TempFolder capture;
    std::string command;
    if (!workingFolder.empty())
        command.append("cd ").append(Quoted(workingFolder)).append(" && ");
    command.append(Quoted(WAVELORN_CLI_PATH));
    for (const auto& argument : arguments)
        command.append(" ").append(Quoted(argument));
    command.append(" >").append(Quoted(capture.File("out")));
    command.append(" 2>").append(Quoted(capture.File("err"))).append(" </dev/null");
    const int status = std::system(command.c_str());
    CliResult result;
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = Slurp(capture.File("out"));
    result.err = Slurp(capture.File("err"));
    return result;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace testsupport
