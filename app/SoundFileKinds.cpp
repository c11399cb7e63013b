#include "app/SoundFileKinds.h"

#include "platform/Files.h"

namespace {

constexpr std::string_view kAllFilesFilter = "All Files (*.*)|*.*||";
constexpr std::string_view kAllSoundFilesText = "Sound Files";

bool EndsWithIgnoringCase(const std::string& path, std::string_view extension)
{
    return path.size() >= extension.size() &&
           platform::EqualsIgnoringCase(path.substr(path.size() - extension.size()), std::string(extension));
}

template <class Direction>
SoundFileKind KindOf(const std::string& path, Direction direction)
{
    for (const auto& entry : SoundFileKinds()) {
        for (const std::string_view extension : direction(entry).extensions) {
            if (EndsWithIgnoringCase(path, extension))
                return entry.kind;
        }
    }
    return SoundFileKind::None;
}

}  // namespace

SoundFileKind ImportKindOf(const std::string& path)
{
    return KindOf(path, [](const SoundFileKindEntry& entry) { return entry.onImport; });
}

SoundFileKind ExportKindOf(const std::string& path)
{
    return KindOf(path, [](const SoundFileKindEntry& entry) { return entry.onExport; });
}

std::string_view ImportDefaultExtension()
{
    return SoundFileKinds().front().onImport.extensions.front();
}

std::string ImportFilter()
{
    // First every extension the import takes, then each kind's own, then all files.
    std::string shown;
    std::string patterns;
    for (const auto& entry : SoundFileKinds()) {
        for (const std::string_view extension : entry.onImport.extensions) {
            shown += (shown.empty() ? "*" : " *") + std::string(extension);
            patterns += (patterns.empty() ? "*" : ";*") + std::string(extension);
        }
    }
    std::string filter = std::string(kAllSoundFilesText) + " (" + shown + ")|" + patterns + "|";
    for (const auto& entry : SoundFileKinds())
        filter += entry.onImport.filter;
    return filter + std::string(kAllFilesFilter);
}
