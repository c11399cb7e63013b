#pragma once
// The command line of wavelorn-cli: its commands and options, defined once. The help
// text, the man page, the parser and the shell completion scripts are all made from
// these definitions.

#include "cli/Commands.h"

#include <CLI/CLI.hpp>

#include <string>

namespace cli {

inline constexpr const char* kProgramName = "wavelorn-cli";

// The values the command line fills.
struct CommandLineValues {
    ListOptions list;
    ExportOptions exportOptions;
    ImportOptions import;
    ArchiveCommandOptions archive;
    std::string demoFolder;
    std::string helpTopic;  // help [COMMAND]
    bool quiet = false;
    bool verbose = false;
    bool json = false;
};

// Defines every command of wavelorn-cli in `app`, which fills `values`.
void DefineCommands(CLI::App& app, CommandLineValues& values);

// The command the parse chose; null for none.
const CLI::App* ChosenCommand(const CLI::App& app);

// The commands and options as a person may type them, without hidden ones.
std::vector<const CLI::App*> VisibleCommands(const CLI::App& app);
std::vector<const CLI::Option*> VisibleOptions(const CLI::App& command);
// "--project" and "-p" of an option, long names first.
std::vector<std::string> OptionNames(const CLI::Option& option);
// The values an option takes when it names one of a set ("WAVE", "AIFF"); empty otherwise.
std::vector<std::string> OptionChoices(const CLI::Option& option);
// True when the option's value is a path, which a shell completes as a file name.
bool TakesPath(const CLI::Option& option);

}  // namespace cli
