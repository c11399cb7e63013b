#pragma once
// "Did you mean": what the parser could not place on a command line, named with the
// closest command or option the command line defines.

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

namespace cli {

// The closest of `names` to `word`: one it starts (--proj, --project) or one at most
// two edits away (lst, list); nothing when none is that close.
std::optional<std::string> ClosestName(const std::string& word, const std::vector<std::string>& names);

// Why the words the parse of `app` left over do not fit, with the closest name: an
// unknown command ("unknown command lst; did you mean list?") or option; nothing when
// nothing unknown was typed.
std::optional<std::string> UnknownWord(const CLI::App& app);

// The same for a command named to `help`.
std::optional<std::string> UnknownCommand(const CLI::App& app, const std::string& word);

}  // namespace cli
