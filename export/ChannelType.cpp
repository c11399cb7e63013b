#include "export/ChannelType.h"

#include "platform/Errors.h"
#include "app/RegUserData.h"
#include "platform/Files.h"
#include "recorder/Track.h"

#include <exception>

CChannelType::CChannelType(platform::UserInterface& ui, CUserData& settings) : m_ui(ui), m_settings(settings) {}

CChannelType::~CChannelType() = default;

int CChannelType::Convert(const std::string& typeName, const sobinder& record, int trackCount, CTrack* const* tracks)
{
    const SoundFileType* type = FindSoundFileType(typeName);
    if (!type || !IsExportableProject(record) || trackCount < 1 || !tracks)
        return kFailed;
    const auto path = AskForPath(*type, DialogOptions(trackCount, tracks));
    if (!path)
        return kFailed;
    try {
        Run(*type, record, trackCount, tracks, *path);
        return kSucceeded;
    } catch (const ExportError&) {
        return kFailed;
    } catch (const std::exception&) {  // exhausted memory, a file-system error
        return kFailed;
    }
}

std::optional<std::string> CChannelType::AskForPath(const SoundFileType& type, platform::FileDialogRequest request)
{
    request.kind = platform::FileDialogRequest::Kind::Save;
    request.initialName = kInitialFileName;
    request.defaultExtension = type.defaultExtension;
    request.filter = type.filter;
    std::string workPath;
    if (m_settings.GetWorkPath(workPath))
        request.initialFolder = workPath;
    auto path = m_ui.RunFileDialog(request);
    if (!path)
        return std::nullopt;
    // The work folder is stored at once, also when the run then fails.
    const std::string folder = CUserData::GetFolderOf(*path, platform::NamePart(*path));
    if (!folder.empty())
        m_settings.SetWorkPath(folder);
    return path;
}

void CChannelType::Require(bool condition)
{
    if (!condition)
        throw ExportError{};
}

std::vector<std::uint8_t> CChannelType::MakeChunkBuffer(const CTrack& firstTrack, int channels)
{
    const int width = firstTrack.GetBytesPerSample();
    Require(width > 0 && width <= kMaxBytesPerSample);
    return std::vector<std::uint8_t>(static_cast<std::size_t>(width) * static_cast<std::size_t>(channels) *
                                     kChunkFrames);
}

void CChannelType::AppendChunk(CSndFormFile& writer, const std::vector<std::uint8_t>& chunk, std::uint64_t& dataBytes)
{
    Require(writer.CanHold(dataBytes + chunk.size()));
    Require(writer.WriteData(chunk.size(), chunk.data()));
    dataBytes += chunk.size();
}

void CChannelType::ExportTracks(CSndFormFile& writer, CTrack* const* tracks, int trackCount,
                                std::vector<std::uint8_t>& chunk, platform::ProgressWindow* progress)
{
    // Every track must deliver samples of the width the chunk slots and the header state.
    const std::size_t frameBytes = static_cast<std::size_t>(writer.GetBytesPerSample()) * writer.GetChannels();
    for (int i = 0; i < trackCount; ++i)
        Require(tracks[i]->GetBytesPerSample() == writer.GetBytesPerSample());
    Require(trackCount == writer.GetChannels() && chunk.size() == frameBytes * kChunkFrames);
    Require(writer.WriteHeader(0));
    const std::uint64_t dataBytes = WriteChunks(writer, tracks, trackCount, chunk, progress);
    Require(writer.WriteHeader(dataBytes));
    Require(writer.CloseFile());
}

std::uint64_t CChannelType::WriteChunks(CSndFormFile& writer, CTrack* const* tracks, int trackCount,
                                        std::vector<std::uint8_t>& chunk, platform::ProgressWindow* progress)
{
    const auto width = static_cast<std::size_t>(writer.GetBytesPerSample());
    const std::size_t frameBytes = width * static_cast<std::size_t>(trackCount);
    std::uint64_t dataBytes = 0;
    for (;;) {
        // Every read's sample goes into the chunk, also the silence that comes with
        // a false result; the flag only tells whether any read delivered.
        // Tracks are independent, so each fills its channel of the chunk in one call.
        bool delivered = false;
        for (int i = 0; i < trackCount; ++i) {
            std::uint8_t* channel = chunk.data() + width * static_cast<std::size_t>(i);
            delivered |= tracks[i]->ReadSamples(channel, kChunkFrames, frameBytes);
        }
        writer.ConvertSample(chunk.data(), chunk.data(), chunk.size());
        AppendChunk(writer, chunk, dataBytes);
        if (!delivered)
            return dataBytes;
        if (progress)
            progress->StepAnimation();
    }
}
