#include "export/Factory.h"

#include <iterator>
#include <limits>

namespace {

template <class Factory>
std::unique_ptr<CFactory> MakeFactory()
{
    return std::make_unique<Factory>();
}

constexpr SoundFileType kSoundFileTypes[] = {
    {"WAVE", ".wav", "WAVE File (*.wav)| *.wav|All Files (*.*)|*.*||", &MakeFactory<CWaveFactory>},
    {"AIFF", ".aif", "AIFF File (*.aif)| *.aif|All Files (*.*)|*.*||", &MakeFactory<CAiffFactory>},
};

}  // namespace

std::unique_ptr<CSndFormFile> CFactory::CreateSoundFile(std::string path, const sobinder& record, int channels,
                                                        platform::FileSystem& files) const
{
    if (!IsExportableProject(record) || channels < 1 || channels > std::numeric_limits<std::uint16_t>::max())
        return nullptr;
    return Make(std::move(path), record, channels, files);
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
