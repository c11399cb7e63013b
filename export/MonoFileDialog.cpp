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

// The first name in `names` that equals `outputName` in any letter case. The names are
// compared literally: wildcard characters in the user's text match only themselves.
std::optional<std::string> FindExisting(const std::vector<std::string>& names, const std::string& outputName)
{
    for (const auto& name : names) {
        if (platform::EqualsIgnoringCase(name, outputName))
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

std::vector<std::string> CMonoFileDialog::ExistingFiles(const std::string& path) const
{
    const MonoOutputPath parts = SplitMonoPath(path);
    const std::string folder = platform::FolderPart(parts.base);
    // A name without a folder is one in the current folder.
    const std::vector<std::string> names = ListFolder(m_files, folder.empty() ? "." : folder);
    std::vector<std::string> existing;
    for (int i = 0; i < m_nItems; ++i) {
        const CTrack& track = *m_ppItems[i];
        const std::string outputName =
            platform::NamePart(MonoOutputName(parts, track.GetTrack(), track.GetVirtualTrack()));
        if (const auto name = FindExisting(names, outputName))
            existing.push_back(platform::JoinPath(folder, *name));
    }
    return existing;
}

bool CMonoFileDialog::CheckExistingFiles(const std::string& path) const
{
    return !m_ui.FirstKept(ExistingFiles(path));
}
