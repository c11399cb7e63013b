#pragma once
// The disk's files as an archive found them before it read them: the size and the
// identity of each. Looked at again once the archive has read them all, so that a
// disk that changed meanwhile (the recorder or another program wrote to it, or it
// was swapped) is never archived as a mixture of its states.

#include "platform/FileSystem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace archive {

class DiskWatch {
public:
    // Notes the size and identity of each of `names` in the folder `disk`.
    DiskWatch(platform::FileSystem& files, const std::string& disk, const std::vector<std::string>& names);

    struct Change {
        std::string name;
        std::string what;  // "another file took its name; 131072 bytes before, 140000 bytes now"
    };
    // The noted files that are not as they were, in the order noted; empty when none changed.
    std::vector<Change> Changes() const;

private:
    struct Stamp {
        std::optional<std::uint64_t> size;
        std::optional<platform::FileIdentity> identity;
        bool operator==(const Stamp&) const = default;
    };
    struct Noted {
        std::string name;
        std::string path;
        Stamp stamp;
    };

    Stamp StampOf(const std::string& path) const;
    static std::string Difference(const Stamp& before, const Stamp& now);

    platform::FileSystem& m_files;
    std::vector<Noted> m_noted;
};

}  // namespace archive
