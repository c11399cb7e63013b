#include "import/OrvoTrack.h"

#include "import/PCAiffFile.h"
#include "import/PCWaveFile.h"
#include "platform/Files.h"

#include <utility>

namespace {

constexpr std::size_t kExtensionLength = 4;
constexpr const char* kWaveExtension = ".wav";
constexpr const char* kAiffExtension = ".aif";

template <std::size_t... Index>
TrackSlots MakeSlots(platform::UserInterface& ui, platform::FileSystem& files, std::index_sequence<Index...>)
{
    // Each slot is built in place: a slot can be neither copied nor moved.
    return TrackSlots{{(static_cast<void>(Index), COrvoTrack(ui, files))...}};
}

}  // namespace

SoundFileKind SoundFileKindOf(const std::string& path)
{
    if (path.size() < kExtensionLength)
        return SoundFileKind::None;
    const std::string extension = path.substr(path.size() - kExtensionLength);
    if (platform::EqualsIgnoringCase(extension, kWaveExtension))
        return SoundFileKind::Wave;
    if (platform::EqualsIgnoringCase(extension, kAiffExtension))
        return SoundFileKind::Aiff;
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
