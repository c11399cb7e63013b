#pragma once
// The help text of wavelorn-cli. `--help-all` lists the commands, then each command's
// usage as a heading line of its own ending in a colon, its description, positionals
// and options: the form from which help2man makes one man page section per command.

#include <CLI/CLI.hpp>

#include <string>

namespace cli {

class HelpFormatter : public CLI::Formatter {
public:
    std::string make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const override;
    std::string make_expanded(const CLI::App* command) const override;
    // A positional of several values reads FILES... on a usage line.
    std::string make_option_usage(const CLI::Option* option) const override;
};

}  // namespace cli
