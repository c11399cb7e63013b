// wavelorn-cli: lists, exports and imports the projects of a recorder disk from
// the command line, archives a whole disk, and writes a demo disk to try the tool on.

#include "cli/CommandLine.h"
#include "cli/Completion.h"
#include "cli/Output.h"
#include "cli/Suggestions.h"
#include "convert/FlacExport.h"
#include "platform/Files.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const char* kHelpHint = "Run with --help for more information.";

// Parser errors read as every other message of the tool: "wavelorn-cli: ...".
std::string FailureMessage(const CLI::App*, const CLI::Error& error)
{
    return std::string(cli::kProgramName) + ": " + error.what() + "\n" + kHelpHint + "\n";
}

// The hidden --completion SHELL: prints the script and ends the run, before any
// command is required.
void AddCompletionOption(CLI::App& app)
{
    app.add_option_function<std::string>(
           "--completion",
           [&app](const std::string& shell) {
               const auto script = cli::CompletionScript(app, shell);
               if (!script)
                   throw CLI::ValidationError("--completion", "no completion script for " + shell);
               std::fputs(script->c_str(), stdout);
               throw CLI::Success();
           },
           "Print the completion script for SHELL")
        ->group("");
}

// help [COMMAND]: the help of the program or of one command, on standard output.
int Help(const CLI::App& app, const std::string& topic)
{
    if (topic.empty()) {
        // The program's own help: App::help would give that of the command chosen, help's.
        std::fputs(app.get_formatter()->make_help(&app, app.get_name(), CLI::AppFormatMode::Normal).c_str(), stdout);
        return cli::kExitSuccess;
    }
    if (const auto unknown = cli::UnknownCommand(app, topic))
        return cli::UsageError(*unknown);
    std::fputs(app.get_subcommand(topic)->help(app.get_name()).c_str(), stdout);
    return cli::kExitSuccess;
}

int RunCommand(const CLI::App& app, const cli::CommandLineValues& values)
{
    const std::string command = cli::ChosenCommand(app)->get_name();
    cli::Result()["command"] = command;
    if (command == "list")
        return cli::ListCommand(values.list);
    if (command == "export")
        return cli::ExportCommand(values.exportOptions);
    if (command == "import")
        return cli::ImportCommand(values.import);
    if (command == "archive")
        return cli::ArchiveCommand(values.archive);
    if (command == "demo")
        return cli::DemoCommand(values.demoFolder);
    return Help(app, values.helpTopic);
}

void SetOutputMode(const cli::CommandLineValues& values)
{
    const auto verbosity = values.quiet     ? cli::Verbosity::Quiet
                           : values.verbose ? cli::Verbosity::Verbose
                                            : cli::Verbosity::Normal;
    cli::SetOutputMode({verbosity, values.json});
}

// A word the parser could not place is named with the closest one it knows; any other
// parser error is told as CLI11 tells it. Under --json the document says it too.
int ParseFailed(CLI::App& app, const CLI::ParseError& error, const cli::CommandLineValues& values)
{
    SetOutputMode(values);
    if (const auto* command = cli::ChosenCommand(app))
        cli::Result()["command"] = command->get_name();
    if (const auto unknown = cli::UnknownWord(app)) {
        cli::UsageError(*unknown);
        std::fprintf(stderr, "%s\n", kHelpHint);
    } else {
        app.exit(error);
        cli::RecordRefusal(nullptr, error.what());
    }
    cli::PrintResult(cli::kExitUsage);
    return cli::kExitUsage;
}

int Run(int argc, char** argv)
{
    // Named, so that help and usage lines read "wavelorn-cli" whatever path started it.
    CLI::App app{"Moves audio between a recorder disk (a folder of the recorder's files) and WAVE/AIFF/FLAC files.",
                 cli::kProgramName};
    // FLAC joins the export's types before the commands list them as choices.
    convert::AddFlacExport();
    cli::CommandLineValues values;
    cli::DefineCommands(app, values);
    AddCompletionOption(app);
    app.failure_message(FailureMessage);
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& success) {
        return app.exit(success);
    } catch (const CLI::ParseError& error) {
        return ParseFailed(app, error, values);
    }
    SetOutputMode(values);
    const int status = values.quiet && values.verbose ? cli::UsageError("--quiet and --verbose exclude each other")
                                                      : RunCommand(app, values);
    cli::PrintResult(status);
    return status;
}

}  // namespace

#ifdef _WIN32
// The wide command line (-municode): each argument becomes UTF-8, as the rest of the
// program takes paths, whatever the console's code page.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(platform::Utf8FromPath(std::filesystem::path(argv[i])));
    std::vector<char*> pointers;
    for (auto& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return Run(argc, pointers.data());
}
#else
int main(int argc, char** argv)
{
    return Run(argc, argv);
}
#endif
