#include "cli/Suggestions.h"

#include "cli/CommandLine.h"

#include <algorithm>
#include <numeric>

namespace cli {

namespace {

constexpr std::size_t kMostEdits = 2;
// A word that starts a name says which one it is only with this many characters.
constexpr std::size_t kShortestPrefix = 2;
constexpr char kOptionStart = '-';
constexpr char kValueStart = '=';

std::size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::vector<std::string> CommandNames(const CLI::App& app)
{
    std::vector<std::string> names;
    for (const CLI::App* command : VisibleCommands(app))
        names.push_back(command->get_name());
    return names;
}

std::vector<std::string> OptionNamesOf(const CLI::App& command)
{
    std::vector<std::string> names;
    for (const CLI::App* level = &command; level != nullptr; level = level->get_parent()) {
        for (const CLI::Option* option : VisibleOptions(*level)) {
            if (option->nonpositional()) {
                const auto optionNames = OptionNames(*option);
                names.insert(names.end(), optionNames.begin(), optionNames.end());
            }
        }
    }
    return names;
}

std::string Unknown(const std::string& what, const std::string& word, const std::vector<std::string>& names)
{
    const auto closest = ClosestName(word, names);
    return "unknown " + what + " " + word + (closest ? "; did you mean " + *closest + "?" : "");
}

}  // namespace

std::optional<std::string> ClosestName(const std::string& word, const std::vector<std::string>& names)
{
    const std::size_t significant = word.size() - std::min(word.find_first_not_of(kOptionStart), word.size());
    std::optional<std::string> closest;
    std::size_t closestEdits = kMostEdits + 1;
    for (const auto& name : names) {
        const bool starts = significant >= kShortestPrefix && name.starts_with(word);
        const std::size_t edits = starts ? 0 : EditDistance(word, name);
        if (edits < closestEdits) {
            closest = name;
            closestEdits = edits;
        }
    }
    return closest;
}

std::optional<std::string> UnknownWord(const CLI::App& app)
{
    const CLI::App* command = ChosenCommand(app);
    for (const auto& word : app.remaining(true)) {
        // "-" alone is a value: the import's empty track.
        if (word.size() > 1 && word.front() == kOptionStart)
            return Unknown("option", word.substr(0, word.find(kValueStart)), OptionNamesOf(command ? *command : app));
        if (command == nullptr)
            return UnknownCommand(app, word);
    }
    return std::nullopt;
}

std::optional<std::string> UnknownCommand(const CLI::App& app, const std::string& word)
{
    const auto names = CommandNames(app);
    if (std::find(names.begin(), names.end(), word) != names.end())
        return std::nullopt;
    return Unknown("command", word, names);
}

}  // namespace cli
