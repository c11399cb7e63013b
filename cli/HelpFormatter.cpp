#include "cli/HelpFormatter.h"

namespace cli {

std::string HelpFormatter::make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const
{
    if (mode != CLI::AppFormatMode::All)
        return CLI::Formatter::make_subcommands(app, mode);
    std::string text = CLI::Formatter::make_subcommands(app, CLI::AppFormatMode::Normal);
    for (const CLI::App* command : app->get_subcommands({}))
        text += "\n" + make_expanded(command);
    return text;
}

std::string HelpFormatter::make_expanded(const CLI::App* command) const
{
    // "Usage: wavelorn-cli export [OPTIONS] DISK\n" gives "wavelorn-cli export [OPTIONS] DISK:\n".
    std::string usage = make_usage(command, command->get_parent()->get_name() + " " + command->get_name());
    const std::size_t nameStart = usage.find(": ");
    std::string text = usage.substr(nameStart == std::string::npos ? 0 : nameStart + 2);
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    text += ":\n  " + command->get_description() + "\n\n";

    for (const CLI::Option* option : command->get_options([](const CLI::Option* o) { return o->get_positional(); }))
        text += make_option(option, true);
    for (const CLI::Option* option : command->get_options([command](const CLI::Option* o) {
             return o->nonpositional() && o != command->get_help_ptr() && o != command->get_help_all_ptr();
         }))
        text += make_option(option, false);
    return text;
}

std::string HelpFormatter::make_option_usage(const CLI::Option* option) const
{
    std::string usage = make_option_name(option, true);
    if (option->get_expected_max() > 1)
        usage += "...";
    return option->get_required() ? usage : "[" + usage + "]";
}

}  // namespace cli
