#include "export/Factory.h"

#include "app/SoundFileKinds.h"

#include <iterator>
#include <limits>

namespace {

template <class Factory>
std::unique_ptr<CFactory> MakeFactory()
{
    return std::make_unique<Factory>();
}

// The export's side of a sound-file kind, made by `Factory`.
template <class Factory>
constexpr SoundFileType TypeOf(SoundFileKind kind)
{
    const SoundFileKindEntry& entry = KindEntry(kind);
    return {entry.typeName, entry.onExport.extensions.front().data(), entry.onExport.filter, &MakeFactory<Factory>};
}

constexpr SoundFileType kSoundFileTypes[] = {
    TypeOf<CWaveFactory>(SoundFileKind::Wave),
    TypeOf<CAiffFactory>(SoundFileKind::Aiff),
};
static_assert(std::size(kSoundFileTypes) == SoundFileKinds().size(), "every kind has its writer");

}  // namespace

std::unique_ptr<CSndFormFile> CFactory::CreateSoundFile(std::string path, const ProjectFormat& format, int channels,
                                                        platform::FileSystem& files) const
{
    if (channels < 1 || channels > std::numeric_limits<std::uint16_t>::max())
        return nullptr;
    return Make(std::move(path), format, channels, files);
}

std::span<const SoundFileType> SoundFileTypes()
{
    return kSoundFileTypes;
}

const SoundFileType* FindSoundFileType(const std::string& typeName)
{
    for (const auto& type : kSoundFileTypes) {
        if (typeName == type.typeName)
            return &type;
    }
    return nullptr;
}
