#include "import/OrvoTrack.h"

#include "import/PCAiffFile.h"
#include "import/PCWaveFile.h"
#include <utility>

namespace {

template <std::size_t... Index>
TrackSlots MakeSlots(platform::FileSystem& files, std::index_sequence<Index...>)
{
    // Each slot is built in place: a slot can be neither copied nor moved.
    return TrackSlots{{(static_cast<void>(Index), COrvoTrack(files))...}};
}

}  // namespace

COrvoTrack::COrvoTrack(platform::FileSystem& files) : m_files(files) {}

COrvoTrack::~COrvoTrack() = default;

bool COrvoTrack::SelectReader(const std::string& path)
{
    reader.reset();
    switch (ImportKindOf(path)) {
    case SoundFileKind::Wave:
        reader = std::make_unique<CPCWaveFile>(m_files);
        return true;
    case SoundFileKind::Aiff:
        reader = std::make_unique<CPCAiffFile>(m_files);
        return true;
    case SoundFileKind::Flac:  // written only: ImportKindOf never names it
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

std::optional<Refusal> COrvoTrack::ReadSourceHeader(const std::string& path, const StopCheck& stopRequested)
{
    if (!reader)
        return Refusal{MessageId::FormatUnknown, Reason::UnknownExtension, path, {}};
    return reader->ReadHeader(path, stopRequested);
}

void COrvoTrack::Reset()
{
    reader.reset();
}

TrackSlots MakeTrackSlots(platform::FileSystem& files)
{
    return MakeSlots(files, std::make_index_sequence<kTrackCount>());
}
