#include "export/Factory.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <vector>

namespace {

template <class Factory>
std::unique_ptr<CFactory> MakeFactory()
{
    return std::make_unique<Factory>();
}

// The export's side of a sound-file kind, made by `makeFactory`.
constexpr SoundFileType TypeOf(SoundFileKind kind, std::unique_ptr<CFactory> (*makeFactory)())
{
    const SoundFileKindEntry& entry = KindEntry(kind);
    return {entry.typeName, entry.onExport.extensions.front().data(), entry.onExport.filter, makeFactory};
}

// The types the engine writes itself.
constexpr SoundFileType kEngineTypes[] = {
    TypeOf(SoundFileKind::Wave, &MakeFactory<CWaveFactory>),
    TypeOf(SoundFileKind::Aiff, &MakeFactory<CAiffFactory>),
};

// The engine's types and those added. Room for every kind from the start: adding one
// never moves the others, so a type found before stays valid.
std::vector<SoundFileType>& Types()
{
    static std::vector<SoundFileType> types = [] {
        std::vector<SoundFileType> all;
        all.reserve(SoundFileKinds().size());
        all.assign(std::begin(kEngineTypes), std::end(kEngineTypes));
        return all;
    }();
    return types;
}

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
    return Types();
}

const SoundFileType* FindSoundFileType(const std::string& typeName)
{
    const auto& types = Types();
    const auto found = std::find_if(types.begin(), types.end(),
                                    [&](const SoundFileType& type) { return typeName == type.typeName; });
    return found == types.end() ? nullptr : &*found;
}

void AddSoundFileType(SoundFileKind kind, std::unique_ptr<CFactory> (*makeFactory)())
{
    const SoundFileType type = TypeOf(kind, makeFactory);
    if (!FindSoundFileType(type.typeName))
        Types().push_back(type);
}
