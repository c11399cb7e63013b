// The command line as people of the shell expect it: short options, help [COMMAND],
// -v and --version anywhere, "did you mean", values in any letter case, --quiet and
// --verbose, the parser's errors prefixed; and the completion scripts.

#include "platform/Files.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/Process.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

using testsupport::Lines;
using testsupport::RunCli;
using testsupport::TempFolder;

namespace {

class CliCommandLine : public testsupport::DemoDiskTest {};

constexpr const char* kVersionLine = "wavelorn-cli " WAVELORN_VERSION "\n";

}  // namespace

TEST_F(CliCommandLine, OptionFormsAndTheirAnswers)
{
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        int exitStatus;
        std::string out;  // exactly; "*" for anything
        std::string err;  // exactly; a text ending in "..." for its start
    };
    const std::string exportHelp = RunCli({"export", "--help"}).out;
    const Case cases[] = {
        {"-v", {"-v"}, 0, kVersionLine, ""},
        {"--version after a command", {"list", "--version"}, 0, kVersionLine, ""},
        {"-v after a command's options", {"export", Disk(), "-p", "1", "-v"}, 0, kVersionLine, ""},
        {"help", {"help"}, 0, RunCli({"--help"}).out, ""},
        {"help COMMAND", {"help", "export"}, 0, exportHelp, ""},
        {"mistyped command", {"lst", Disk()}, 2, "",
         "wavelorn-cli: unknown command lst; did you mean list?\nRun with --help for more information.\n"},
        {"mistyped command to help", {"help", "exprot"}, 2, "", "wavelorn-cli: unknown command exprot; did you mean export?\n"},
        {"unknown command", {"frobnicate"}, 2, "", "wavelorn-cli: unknown command frobnicate\n..."},
        {"mistyped option", {"export", Disk(), "--proj", "1", "-t", "1", "-o", Out("x.wav")}, 2, "",
         "wavelorn-cli: unknown option --proj; did you mean --project?\n..."},
        {"mistyped option with value", {"list", Disk(), "--trakcs=1"}, 2, "",
         "wavelorn-cli: unknown option --trakcs; did you mean --tracks?\n..."},
        {"parser error", {"list"}, 2, "", "wavelorn-cli: DISK is required\nRun with --help for more information.\n"},
        {"short options", {"export", Disk(), "-p", "1", "-t", "1", "-o", Out("s.wav"), "-y", "-q"}, 0,
         Out("s11.wav") + "\n", ""},
        {"--type in lower case", {"export", Disk(), "-p", "1", "-t", "1", "--type", "aiff", "-o", Out("l"), "-q"}, 0,
         Out("l11.aif") + "\n", ""},
        {"--format in upper case", {"archive", Disk(), Out("a"), "--format", "WAV", "-q"}, 0, "*", ""},
        {"--quiet list", {"list", "-q", Disk()}, 0, "*", ""},
        {"--quiet demo", {"demo", "-q", Out("demo")}, 0, "", ""},
        {"--quiet keeps errors", {"export", Disk(), "-q", "-p", "1", "-t", "3", "-o", Out("n.wav")}, 1, "",
         "Convert failed.\nwavelorn-cli: track 3 (virtual track 1) has no recording on this disk\n"},
        {"--verbose", {"list", "--verbose", Disk()}, 0, "*", "wavelorn-cli: reading the project index ..."},
        {"--quiet with --verbose", {"list", "-q", "--verbose", Disk()}, 2, "",
         "wavelorn-cli: --quiet and --verbose exclude each other\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = RunCli(c.arguments);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << result.err;
        if (c.out != "*") {
            EXPECT_EQ(result.out, c.out);
        }
        const bool start = c.err.ends_with("...");
        const std::string err = start ? c.err.substr(0, c.err.size() - 3) : c.err;
        EXPECT_EQ(start ? result.err.substr(0, err.size()) : result.err, err);
    }
}

#ifndef _WIN32
namespace {

std::string ReadText(const std::string& path)
{
    const auto bytes = testsupport::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// The first word of each line, sorted: the candidates a shell offers, without their descriptions.
std::vector<std::string> Candidates(const std::string& text)
{
    std::vector<std::string> words;
    for (const auto& line : Lines(text))
        words.push_back(line.substr(0, line.find('\t')));
    std::sort(words.begin(), words.end());
    return words;
}

// The shell program that asks the completion of `script` what it offers after `words`.
std::string BashProgram(const std::string& script, const std::string& words)
{
    std::istringstream split(words);
    std::string array;
    int count = 0;
    for (std::string word; split >> word; ++count)
        array += "'" + word + "' ";
    if (words.ends_with(" ")) {
        array += "''";
        ++count;
    }
    return "source '" + script + "'; COMP_WORDS=(" + array + "); COMP_CWORD=" + std::to_string(count - 1) +
           "; _wavelorn_cli; printf '%s\\n' \"${COMPREPLY[@]}\"";
}

std::string FishProgram(const std::string& script, const std::string& words)
{
    return "source '" + script + "'; complete -C '" + words + "'";
}

}  // namespace

// Each script the program writes is valid in its shell and offers what the command
// definitions hold (zsh, whose completion needs a terminal, is checked for syntax).
TEST(CliCompletion, TheScriptsOfferWhatTheCommandDefinitionsHold)
{
    EXPECT_EQ(RunCli({"--completion", "tcsh"}).exitStatus, 2);
    struct Shell {
        const char* name;
        const char* program;
        std::function<std::string(const std::string&, const std::string&)> asking;  // null: syntax only
        std::vector<std::string> check;  // the arguments that check the syntax of the script, which follows them
    };
    const Shell shells[] = {
        {"bash", "/bin/bash", BashProgram, {"-n"}},
        {"zsh", "/usr/bin/zsh", nullptr, {"-n"}},
        {"fish", "/usr/bin/fish", FishProgram, {"--no-execute"}},
    };
    struct Case {
        std::string words;  // the command line up to the word being completed, which is last
        std::vector<std::string> candidates;
    };
    const Case cases[] = {
        {"wavelorn-cli ex", {"export"}},
        {"wavelorn-cli export --pro", {"--project"}},
        {"wavelorn-cli export d --type A", {"AIFF"}},
        {"wavelorn-cli archive d o --format ", {"flac", "wav"}},
        {"wavelorn-cli help im", {"import"}},
        {"wavelorn-cli list --j", {"--json"}},
    };
    TempFolder folder;
    for (const auto& shell : shells) {
        SCOPED_TRACE(shell.name);
        const std::string script = folder.File(std::string("wavelorn-cli.") + shell.name);
        const auto written = RunCli({"--completion", shell.name});
        ASSERT_EQ(written.exitStatus, 0);
        std::ofstream(script) << written.out;
        std::vector<std::string> syntax = shell.check;
        syntax.push_back(script);
        EXPECT_EQ(testsupport::RunProcess({shell.program, syntax, {}, folder.File("out"), folder.File("err")}), 0)
            << ReadText(folder.File("err"));
        if (!shell.asking)
            continue;
        for (const auto& c : cases) {
            SCOPED_TRACE(c.words);
            const std::vector<std::string> arguments = {"-c", shell.asking(script, c.words)};
            ASSERT_EQ(testsupport::RunProcess({shell.program, arguments, {}, folder.File("out"), folder.File("err")}), 0)
                << ReadText(folder.File("err"));
            EXPECT_EQ(Candidates(ReadText(folder.File("out"))), c.candidates);
        }
    }
}
#endif
