#include "cli/Completion.h"

#include "cli/CommandLine.h"

#include <functional>
#include <map>

namespace cli {

namespace {

// What a script needs to know of an option.
struct OptionDefinition {
    std::vector<std::string> longNames;   // without "--"
    std::vector<std::string> shortNames;  // without "-"
    std::string description;
    bool takesValue = false;
    bool path = false;
    std::vector<std::string> choices;
};

// How a command's positionals complete: paths, or the names of the commands (help's).
enum class Positionals { None, Paths, Commands };

struct CommandDefinition {
    std::string name;
    std::string description;
    std::vector<OptionDefinition> options;
    Positionals positionals = Positionals::None;
};

struct ProgramDefinition {
    std::string name;
    std::vector<OptionDefinition> options;  // of the program itself (--help, --version)
    std::vector<CommandDefinition> commands;
};

OptionDefinition DefinitionOf(const CLI::Option& option)
{
    OptionDefinition definition;
    definition.longNames = option.get_lnames();
    definition.shortNames = option.get_snames();
    definition.description = option.get_description();
    definition.takesValue = option.get_items_expected_max() > 0;
    definition.path = TakesPath(option);
    definition.choices = OptionChoices(option);
    return definition;
}

CommandDefinition CommandDefinitionOf(const CLI::App& command)
{
    CommandDefinition definition{command.get_name(), command.get_description(), {}, Positionals::None};
    for (const CLI::Option* option : VisibleOptions(command)) {
        if (option->nonpositional())
            definition.options.push_back(DefinitionOf(*option));
        else  // the one positional that is no path is the command that help explains
            definition.positionals = TakesPath(*option) ? Positionals::Paths : Positionals::Commands;
    }
    return definition;
}

ProgramDefinition ProgramDefinitionOf(const CLI::App& app)
{
    ProgramDefinition definition{kProgramName, {}, {}};
    for (const CLI::Option* option : VisibleOptions(app))
        definition.options.push_back(DefinitionOf(*option));
    for (const CLI::App* command : VisibleCommands(app))
        definition.commands.push_back(CommandDefinitionOf(*command));
    return definition;
}

std::string Joined(const std::vector<std::string>& words, const std::string& separator)
{
    std::string text;
    for (const auto& word : words)
        text += (text.empty() ? "" : separator) + word;
    return text;
}

// Every character of `escapes` in `text` replaced by its escape.
std::string Escaped(const std::string& text, const std::map<char, std::string>& escapes)
{
    std::string out;
    for (char c : text) {
        const auto escape = escapes.find(c);
        out += escape == escapes.end() ? std::string(1, c) : escape->second;
    }
    return out;
}

std::vector<std::string> DashedNames(const OptionDefinition& option)
{
    std::vector<std::string> names;
    for (const auto& name : option.shortNames)
        names.push_back("-" + name);
    for (const auto& name : option.longNames)
        names.push_back("--" + name);
    return names;
}

std::vector<std::string> CommandNames(const ProgramDefinition& program)
{
    std::vector<std::string> names;
    for (const auto& command : program.commands)
        names.push_back(command.name);
    return names;
}

std::vector<std::string> AllOptionNames(const std::vector<OptionDefinition>& options)
{
    std::vector<std::string> names;
    for (const auto& option : options) {
        const auto dashed = DashedNames(option);
        names.insert(names.end(), dashed.begin(), dashed.end());
    }
    return names;
}

// bash: the command is the first word that names one; an option's value completes from
// its choices or as a file, an option or positional word from the command's names.
namespace bash {

constexpr const char* kFiles = "compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- \"$cur\"))";

std::string Words(const std::vector<std::string>& words)
{
    return "COMPREPLY=($(compgen -W '" + Joined(words, " ") + "' -- \"$cur\"))";
}

std::string ValueCases(const ProgramDefinition& program)
{
    std::string text;
    for (const auto& command : program.commands) {
        for (const auto& option : command.options) {
            if (!option.takesValue)
                continue;
            std::vector<std::string> patterns;
            for (const auto& name : DashedNames(option))
                patterns.push_back(command.name + ":" + name);
            const std::string reply = !option.choices.empty() ? Words(option.choices)
                                      : option.path            ? std::string(kFiles)
                                                               : std::string("COMPREPLY=()");
            text += "        " + Joined(patterns, "|") + ") " + reply + "; return ;;\n";
        }
    }
    return text;
}

std::string CommandCase(const CommandDefinition& command, const ProgramDefinition& program)
{
    const std::string options = Words(AllOptionNames(command.options));
    const std::string positionals = command.positionals == Positionals::Paths      ? std::string(kFiles)
                                    : command.positionals == Positionals::Commands ? Words(CommandNames(program))
                                                                                   : std::string("COMPREPLY=()");
    return "        " + command.name + ")\n            if [[ $cur == -* ]]; then " + options + "\n            else " +
           positionals + "\n            fi ;;\n";
}

std::string Script(const ProgramDefinition& program)
{
    const std::string function = "_" + Escaped(program.name, {{'-', "_"}});
    std::vector<std::string> top = CommandNames(program);
    const auto programOptions = AllOptionNames(program.options);
    top.insert(top.end(), programOptions.begin(), programOptions.end());
    std::string text = "# bash completion of " + program.name + ", written from its command definitions by `" +
                       program.name + " --completion bash`.\n" + function + "()\n{\n" +
                       "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} command= word\n" +
                       "    for word in \"${COMP_WORDS[@]:1:COMP_CWORD-1}\"; do\n        case $word in\n            " +
                       Joined(CommandNames(program), "|") + ") command=$word; break ;;\n        esac\n    done\n" +
                       "    case $command:$prev in\n" + ValueCases(program) + "    esac\n    case $command in\n" +
                       "        '') " + Words(top) + " ;;\n";
    for (const auto& command : program.commands)
        text += CommandCase(command, program);
    return text + "    esac\n}\ncomplete -F " + function + " " + program.name + "\n";
}

}  // namespace bash

// zsh: _arguments with one definition per option, the commands through _describe.
namespace zsh {

std::string Quoted(const std::string& text)
{
    return "'" + Escaped(text, {{'\'', "'\\''"}}) + "'";
}

std::string Described(const std::string& text)
{
    return Escaped(text, {{'[', "\\["}, {']', "\\]"}});
}

std::string OptionDefinitionText(const OptionDefinition& option)
{
    const auto names = DashedNames(option);
    std::string value;
    if (option.takesValue) {
        value = !option.choices.empty() ? ":value:(" + Joined(option.choices, " ") + ")"
                : option.path            ? std::string(":file:_files")
                                         : std::string(":value: ");
    }
    const std::string definition = "[" + Described(option.description) + "]" + value;
    if (names.size() == 1)
        return Quoted(names.front() + definition);
    return Quoted("(" + Joined(names, " ") + ")") + "{" + Joined(names, ",") + "}" + Quoted(definition);
}

std::string Arguments(const CommandDefinition& command, const ProgramDefinition& program)
{
    std::string text = "_arguments";
    for (const auto& option : command.options)
        text += " \\\n                " + OptionDefinitionText(option);
    if (command.positionals == Positionals::Paths)
        text += " \\\n                '*:file:_files'";
    else if (command.positionals == Positionals::Commands)
        text += " \\\n                '1:command:(" + Joined(CommandNames(program), " ") + ")'";
    return text;
}

std::string Script(const ProgramDefinition& program)
{
    const std::string function = "_" + program.name;
    std::string text = "#compdef " + program.name + "\n# zsh completion of " + program.name +
                       ", written from its command definitions by `" + program.name + " --completion zsh`.\n" +
                       function + "() {\n    local curcontext=$curcontext state line\n    local -a commands\n" +
                       "    commands=(\n";
    for (const auto& command : program.commands)
        text += "        " + Quoted(command.name + ":" + Escaped(command.description, {{':', "\\:"}})) + "\n";
    text += "    )\n    _arguments -C";
    for (const auto& option : program.options)
        text += " \\\n        " + OptionDefinitionText(option);
    text += " \\\n        '1: :->command' \\\n        '*:: :->argument' && return\n"
            "    case $state in\n        command) _describe -t commands command commands ;;\n"
            "        argument)\n            case $words[1] in\n";
    for (const auto& command : program.commands)
        text += "            " + command.name + ") " + Arguments(command, program) + " ;;\n";
    return text + "            esac ;;\n    esac\n}\n" + function + " \"$@\"\n";
}

}  // namespace zsh

// fish: one `complete` line per command and option, conditioned on the command seen.
namespace fish {

std::string Quoted(const std::string& text)
{
    return "'" + Escaped(text, {{'\\', "\\\\"}, {'\'', "\\'"}}) + "'";
}

std::string OptionLine(const std::string& prefix, const OptionDefinition& option)
{
    std::string line = prefix;
    for (const auto& name : option.shortNames)
        line += " -s " + name;
    for (const auto& name : option.longNames)
        line += " -l " + name;
    if (!option.choices.empty())
        line += " -x -a " + Quoted(Joined(option.choices, " "));
    else if (option.path)
        line += " -r -F";
    else if (option.takesValue)
        line += " -x";
    return line + " -d " + Quoted(option.description) + "\n";
}

std::string Script(const ProgramDefinition& program)
{
    const std::string complete = "complete -c " + program.name;
    const std::string atTop = complete + " -n __fish_use_subcommand";
    std::string text = "# fish completion of " + program.name + ", written from its command definitions by `" +
                       program.name + " --completion fish`.\n" + complete + " -f\n";
    for (const auto& option : program.options)
        text += OptionLine(atTop, option);
    for (const auto& command : program.commands)
        text += atTop + " -a " + command.name + " -d " + Quoted(command.description) + "\n";
    for (const auto& command : program.commands) {
        const std::string within = complete + " -n " + Quoted("__fish_seen_subcommand_from " + command.name);
        if (command.positionals == Positionals::Paths)
            text += within + " -F\n";
        else if (command.positionals == Positionals::Commands)
            text += within + " -x -a " + Quoted(Joined(CommandNames(program), " ")) + "\n";
        for (const auto& option : command.options)
            text += OptionLine(within, option);
    }
    return text;
}

}  // namespace fish

using Writer = std::function<std::string(const ProgramDefinition&)>;

const std::map<std::string, Writer>& Writers()
{
    static const std::map<std::string, Writer> writers = {
        {"bash", bash::Script}, {"zsh", zsh::Script}, {"fish", fish::Script}};
    return writers;
}

}  // namespace

std::vector<std::string> CompletionShells()
{
    std::vector<std::string> shells;
    for (const auto& [shell, writer] : Writers())
        shells.push_back(shell);
    return shells;
}

std::optional<std::string> CompletionScript(const CLI::App& app, const std::string& shell)
{
    const auto writer = Writers().find(shell);
    if (writer == Writers().end())
        return std::nullopt;
    return writer->second(ProgramDefinitionOf(app));
}

}  // namespace cli
