#pragma once
// Shell completion scripts for bash, zsh and fish, written from the command definitions
// (`wavelorn-cli --completion SHELL`); the build writes them and the package installs
// each where its shell looks.

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

namespace cli {

// The shells a script can be written for: bash, zsh, fish.
std::vector<std::string> CompletionShells();

// The completion script of `app` for `shell`; nothing for a shell of no script.
std::optional<std::string> CompletionScript(const CLI::App& app, const std::string& shell);

}  // namespace cli
