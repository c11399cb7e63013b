#include "import/OrvoTrack.h"

#include "import/PCAiffFile.h"
#include "import/PCWaveFile.h"
#include "platform/Files.h"

#include <utility>

namespace {

constexpr const char* kWaveExtension = ".wav";
constexpr const char* kAiffExtensions[] = {".aif", ".aiff", ".aifc"};

bool EndsWithIgnoringCase(const std::string& path, const std::string& extension)
{
    return path.size() >= extension.size() &&
           platform::EqualsIgnoringCase(path.substr(path.size() - extension.size()), extension);
}

template <std::size_t... Index>
TrackSlots MakeSlots(platform::UserInterface& ui, platform::FileSystem& files, std::index_sequence<Index...>)
{
    // Each slot is built in place: a slot can be neither copied nor moved.
    return TrackSlots{{(static_cast<void>(Index), COrvoTrack(ui, files))...}};
}

}  // namespace

SoundFileKind SoundFileKindOf(const std::string& path)
{
    if (EndsWithIgnoringCase(path, kWaveExtension))
        return SoundFileKind::Wave;
    for (const char* extension : kAiffExtensions) {
        if (EndsWithIgnoringCase(path, extension))
            return SoundFileKind::Aiff;
    }
    return SoundFileKind::None;
}

COrvoTrack::COrvoTrack(platform::UserInterface& ui, platform::FileSystem& files) : m_ui(ui), m_files(files) {}

COrvoTrack::~COrvoTrack() = default;

bool COrvoTrack::SelectReader(const std::string& path)
{
    reader.reset();
    switch (SoundFileKindOf(path)) {
    case SoundFileKind::Wave:
        reader = std::make_unique<CPCWaveFile>(m_ui, m_files);
        return true;
    case SoundFileKind::Aiff:
        reader = std::make_unique<CPCAiffFile>(m_ui, m_files);
        return true;
    case SoundFileKind::None:
        break;
    }
    return false;
}

void COrvoTrack::SetSourcePath(const std::string& path)
{
    if (reader)
        reader->SetFileName(path);
}

std::string COrvoTrack::GetSourcePath() const
{
    return reader ? reader->GetFileName() : std::string();
}

bool COrvoTrack::ReadSourceHeader(const std::string& path)
{
    return reader && reader->ReadHeader(path);
}

void COrvoTrack::Reset()
{
    reader.reset();
}

TrackSlots MakeTrackSlots(platform::UserInterface& ui, platform::FileSystem& files)
{
    return MakeSlots(ui, files, std::make_index_sequence<kTrackCount>());
}
