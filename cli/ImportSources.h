#pragma once
// The SOURCE arguments of the import command. Plain ones keep their meaning: the
// k-th is Track k, "-" leaves it empty. Numbered ones name their tracks: N=FILE,
// N=FILE:left|right|mix (one channel; the suffix counts only when the name without it
// exists, so that names holding ':' still work) and N,M=FILE (a stereo file's left
// channel onto Track N, its right onto Track M). The two kinds cannot be mixed.

#include "convert/ImportConversion.h"

#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace cli {

struct ImportSources {
    convert::SourceRequests tracks;  // the path left empty: resolved by the caller
    bool numbered = false;           // numbered forms: Track 1 may stay empty
};

// The sources, or why the arguments are wrong. `exists` says whether a name (as
// given) leads to a file.
std::variant<ImportSources, std::string> ParseImportSources(const std::vector<std::string>& arguments,
                                                            const std::function<bool(const std::string&)>& exists);

}  // namespace cli
