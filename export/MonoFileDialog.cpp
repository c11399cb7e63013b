#include "export/MonoFileDialog.h"

#include "platform/Files.h"
#include "platform/UserInterface.h"
#include "recorder/Track.h"

#include <optional>
#include <vector>

namespace {

// The names of everything in `folder`, in byte order; empty when it cannot be listed.
std::vector<std::string> ListFolder(platform::FileSystem& files, const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : files.ListFolder(folder).value_or(std::vector<platform::FolderEntry>{}))
        names.push_back(entry.name);
    return names;
}

// True for stem + "." + up to three characters, letter case aside. The names are
// compared literally: wildcard characters in the user's text match only themselves.
bool DiffersInShortExtension(const std::string& name, const std::string& stem)
{
    const auto dot = stem.size();
    return name.size() > dot && name.size() - dot - 1 <= kCheckedExtensionLength && name[dot] == '.' &&
           platform::EqualsIgnoringCase(name.substr(0, dot), stem);
}

// The first existing file that the track's output would replace or resemble: the
// output name itself first, then the short-extension variants in byte order.
std::optional<std::string> FindExisting(const std::vector<std::string>& names, const std::string& outputName,
                                        const std::string& stem)
{
    for (const auto& name : names) {
        if (platform::EqualsIgnoringCase(name, outputName))
            return name;
    }
    for (const auto& name : names) {
        if (DiffersInShortExtension(name, stem))
            return name;
    }
    return std::nullopt;
}

}  // namespace

MonoOutputPath SplitMonoPath(const std::string& path)
{
    const auto nameStart = path.size() - platform::NamePart(path).size();
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        return {path, {}, false};
    return {path.substr(0, dot), path.substr(dot + 1), true};
}

std::string MonoOutputName(const MonoOutputPath& path, int track, int virtualTrack)
{
    return path.base + std::to_string(track) + std::to_string(virtualTrack) + "." + path.extension;
}

CMonoFileDialog::CMonoFileDialog(platform::UserInterface& ui, int itemCount, CTrack* const* items,
                                 platform::FileSystem& files)
    : m_ui(ui), m_nItems(itemCount), m_ppItems(items), m_files(files)
{
}

bool CMonoFileDialog::CheckExistingFiles(const std::string& path) const
{
    const MonoOutputPath parts = SplitMonoPath(path);
    const std::vector<std::string> names = ListFolder(m_files, platform::FolderPart(parts.base));
    for (int i = 0; i < m_nItems; ++i) {
        const CTrack& track = *m_ppItems[i];
        const std::string outputName =
            platform::NamePart(MonoOutputName(parts, track.GetTrack(), track.GetVirtualTrack()));
        const std::string stem = outputName.substr(0, outputName.size() - parts.extension.size() - 1);
        const auto existing = FindExisting(names, outputName, stem);
        if (existing && !m_ui.AskReplace(*existing))
            return false;
    }
    return true;
}
