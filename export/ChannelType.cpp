#include "export/ChannelType.h"

#include "app/RegUserData.h"
#include "platform/Files.h"
#include "recorder/Formats.h"
#include "recorder/Track.h"

#include <algorithm>
#include <exception>
#include <new>
#include <span>

namespace {

// The track of a file that reaches furthest, and so decides the file's length.
const CTrack& LongestTrack(std::span<CTrack* const> tracks)
{
    return **std::max_element(tracks.begin(), tracks.end(), [](const CTrack* a, const CTrack* b) {
        return a->GetEndPosition() < b->GetEndPosition();
    });
}

}  // namespace

CChannelType::CChannelType(platform::UserInterface& ui, CUserData& settings, platform::FileSystem& files)
    : m_ui(ui), m_settings(settings), m_files(files)
{
}

CChannelType::~CChannelType() = default;

int CChannelType::Convert(const std::string& typeName, const sobinder& record, int trackCount, CTrack* const* tracks)
{
    m_refusal.reset();
    m_writtenFiles.clear();
    const SoundFileType* type = FindSoundFileType(typeName);
    if (!type)
        return Refuse(Reason::UnknownFileType, {}, typeName);
    m_refusal = ProjectCodesRefusal(record);
    if (m_refusal)
        return kFailed;
    if (trackCount < 1 || !tracks)
        return Refuse(Reason::NoTrackChosen);
    // Every file is measured before anything is asked or written: a damaged chain would
    // otherwise fill gigabytes of silence before the header limit stopped the run.
    if (const auto track = FindTooLargeOutput(*type, record, trackCount, tracks))
        return Refuse(Reason::OutputTooLarge, *track);
    const auto path = AskForPath(*type, DialogOptions(trackCount, tracks));
    if (!path)
        return Refuse(Reason::NoFileName);
    try {
        Run(*type, record, trackCount, tracks, *path);
        return kSucceeded;
    } catch (const ExportError& error) {
        m_refusal = static_cast<const Refusal&>(error);
    } catch (const std::bad_alloc&) {
        return Refuse(Reason::OutOfMemory);
    } catch (const std::exception&) {  // a file-system error
        return Refuse(Reason::Unspecified);
    }
    return kFailed;
}

int CChannelType::Refuse(Reason reason, std::string subject, std::string detail)
{
    m_refusal = Refusal{MessageId::ConvertFailed, reason, std::move(subject), std::move(detail)};
    return kFailed;
}

std::optional<std::string> CChannelType::FindTooLargeOutput(const SoundFileType& type, const sobinder& record,
                                                           int trackCount, CTrack* const* tracks) const
{
    const std::uint64_t limit = type.makeFactory()->MaxDataBytes();
    const std::uint64_t sampleBytes = WordLengthOfCode(record.wordLength)->bytesPerSample;
    for (const auto file : OutputFilesOf(tracks, trackCount, Layout())) {
        if (ExportFileDataBytes(file.data(), static_cast<int>(file.size()), sampleBytes) > limit)
            return LongestTrack(file).Describe();
    }
    return std::nullopt;
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

void CChannelType::Require(bool condition, Reason reason, const std::string& subject)
{
    if (!condition)
        throw ExportError{reason, subject};
}

void CChannelType::OpenWriter(CSndFormFile& writer) const
{
    if (writer.OpenFile())
        return;
    const std::string folder = platform::FolderPart(writer.GetPath());
    const bool folderMissing = !folder.empty() && m_files.KindOf(folder) != platform::FileKind::Folder;
    throw ExportError{folderMissing ? Reason::OutputFolderMissing : Reason::OutputWriteFailed, writer.GetPath()};
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
    Require(writer.CanHold(dataBytes + chunk.size()), Reason::OutputTooLarge, writer.GetPath());
    Require(writer.WriteData(chunk.size(), chunk.data()), Reason::OutputWriteFailed, writer.GetPath());
    dataBytes += chunk.size();
}

void CChannelType::ExportTracks(CSndFormFile& writer, CTrack* const* tracks, int trackCount,
                                std::vector<std::uint8_t>& chunk, CExportProgress& progress)
{
    // Every track must deliver samples of the width the chunk slots and the header state.
    const std::size_t frameBytes = static_cast<std::size_t>(writer.GetBytesPerSample()) * writer.GetChannels();
    for (int i = 0; i < trackCount; ++i)
        Require(tracks[i]->GetBytesPerSample() == writer.GetBytesPerSample());
    Require(trackCount == writer.GetChannels() && chunk.size() == frameBytes * kChunkFrames);
    const std::string& path = writer.GetPath();
    Require(writer.WriteHeader(0), Reason::OutputWriteFailed, path);
    progress.BeginFile(ExportFileFrames(tracks, trackCount));
    const std::uint64_t dataBytes = WriteChunks(writer, tracks, trackCount, chunk, progress);
    Require(writer.WriteHeader(dataBytes), Reason::OutputWriteFailed, path);
    Require(writer.CloseFile(), Reason::OutputWriteFailed, path);
    m_writtenFiles.push_back(path);
}

std::uint64_t CChannelType::WriteChunks(CSndFormFile& writer, CTrack* const* tracks, int trackCount,
                                        std::vector<std::uint8_t>& chunk, CExportProgress& progress)
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
        if (!delivered) {
            progress.FileWritten();
            return dataBytes;
        }
        progress.ChunkWritten();
    }
}
