#include "archive/DiskWatch.h"

#include "platform/Files.h"

namespace archive {

DiskWatch::DiskWatch(platform::FileSystem& files, const std::string& disk, const std::vector<std::string>& names)
    : m_files(files)
{
    for (const auto& name : names) {
        const std::string path = platform::JoinPath(disk, name);
        m_noted.push_back({name, path, StampOf(path)});
    }
}

std::vector<DiskWatch::Change> DiskWatch::Changes() const
{
    std::vector<Change> changes;
    for (const auto& noted : m_noted) {
        const Stamp now = StampOf(noted.path);
        if (now != noted.stamp)
            changes.push_back({noted.name, Difference(noted.stamp, now)});
    }
    return changes;
}

DiskWatch::Stamp DiskWatch::StampOf(const std::string& path) const
{
    return {m_files.FileSize(path), m_files.IdentityOf(path)};
}

std::string DiskWatch::Difference(const Stamp& before, const Stamp& now)
{
    const auto sizeText = [](const std::optional<std::uint64_t>& size) {
        return size ? std::to_string(*size) + " bytes" : std::string("none");
    };
    if (!now.size && !now.identity)
        return "gone from the disk";
    std::string what;
    if (now.identity != before.identity)
        what = "another file took its name";
    if (now.size != before.size)
        what += (what.empty() ? "" : "; ") + sizeText(before.size) + " before, " + sizeText(now.size) + " now";
    return what;
}

}  // namespace archive
