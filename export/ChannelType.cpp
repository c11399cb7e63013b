#include "export/ChannelType.h"

#include "app/RegUserData.h"
#include "platform/Files.h"
#include "platform/TemporaryFile.h"
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

Refusal ExportRefusal(Reason reason, std::string subject, std::string detail)
{
    return Refusal{MessageId::ConvertFailed, reason, std::move(subject), std::move(detail)};
}

CChannelType::CChannelType(platform::UserInterface& ui, CUserData& settings, platform::FileSystem& files)
    : m_ui(ui), m_settings(settings), m_files(files)
{
}

CChannelType::~CChannelType() = default;

std::optional<Refusal> CChannelType::Check(const std::string& typeName, const sobinder& record, int trackCount,
                                           CTrack* const* tracks)
{
    m_writtenFiles.clear();
    m_type = FindSoundFileType(typeName);
    if (!m_type)
        return ExportRefusal(Reason::UnknownFileType, {}, typeName);
    if (auto refusal = ProjectCodesRefusal(record))
        return refusal;
    if (trackCount < 1 || !tracks)
        return ExportRefusal(Reason::NoTrackChosen);
    m_format = ExportFormatOf(record);
    m_sampleBytes = m_format->wordLength.bytesPerSample;
    m_tracks = std::span<CTrack* const>(tracks, static_cast<std::size_t>(trackCount));
    // Every file is measured before anything is asked or written: a damaged chain would
    // otherwise fill gigabytes of silence before the header limit stopped the run.
    if (const auto track = FindTooLargeOutput())
        return ExportRefusal(Reason::OutputTooLarge, *track);
    return std::nullopt;
}

std::string CChannelType::DialogTitle() const
{
    // "Export Track 1 as", "Export Track 1 and 2 as", "Export Track 1, 2 and 5 as".
    std::string numbers;
    for (std::size_t i = 0; i < m_tracks.size(); ++i) {
        const char* separator = i == 0 ? "" : i + 1 == m_tracks.size() ? " and " : ", ";
        numbers += separator + std::to_string(m_tracks[i]->GetTrack());
    }
    return "Export Track " + numbers + " as";
}

std::optional<std::string> CChannelType::ConfirmReplacing(const std::string& path)
{
    return m_ui.FirstKept(ExistingOutputs(path));
}

std::optional<std::string> CChannelType::AskForPath()
{
    platform::FileDialogRequest request = DialogOptions();
    request.kind = platform::FileDialogRequest::Kind::Save;
    request.title = DialogTitle();
    request.initialName = kInitialFileName;
    request.defaultExtension = m_type->defaultExtension;
    request.filter = m_type->filter;
    std::string workPath;
    if (m_settings.GetWorkPath(workPath))
        request.initialFolder = workPath;
    auto path = m_ui.RunFileDialog(request);
    if (!path)
        return std::nullopt;
    const std::string folder = CUserData::GetFolderOf(*path, platform::NamePart(*path));
    if (!folder.empty())
        m_settings.SetWorkPath(folder);
    return path;
}

std::optional<Refusal> CChannelType::Convert(const std::string& path)
{
    m_writtenFiles.clear();
    m_runStarted = std::filesystem::file_time_type::clock::now();
    try {
        Require(m_type != nullptr);
        Run(path);
        return std::nullopt;
    } catch (const ExportError& error) {
        return static_cast<const Refusal&>(error);
    } catch (const std::bad_alloc&) {
        return ExportRefusal(Reason::OutOfMemory);
    } catch (const std::exception&) {  // a file-system error
        return ExportRefusal(Reason::Unspecified);
    }
}

std::optional<std::string> CChannelType::FindTooLargeOutput() const
{
    const std::uint64_t limit = m_type->makeFactory()->MaxDataBytes();
    for (const auto file : OutputFilesOf(m_tracks.data(), static_cast<int>(m_tracks.size()), Layout())) {
        if (ExportFileDataBytes(file.data(), static_cast<int>(file.size()), m_sampleBytes) > limit)
            return LongestTrack(file).Describe();
    }
    return std::nullopt;
}

std::unique_ptr<CSndFormFile> CChannelType::CreateWriter(const std::string& path, int channels) const
{
    auto writer = m_type->makeFactory()->CreateSoundFile(path, *m_format, channels, m_files);
    Require(writer != nullptr);
    return writer;
}

CExportProgress CChannelType::MakeProgress() const
{
    return CExportProgress(m_ui.CreateProgressWindow(),
                           ExportFrameTotal(m_tracks.data(), static_cast<int>(m_tracks.size()), Layout()));
}

void CChannelType::Require(bool condition, Reason reason, const std::string& subject)
{
    if (!condition)
        throw ExportError{reason, subject};
}

void CChannelType::RemoveStaleTemporaries(const std::string& path) const
{
    const std::string folder = platform::FolderPart(path);
    const std::string name = platform::NamePart(path);
    const auto entries = m_files.ListFolder(folder.empty() ? "." : folder);
    for (const auto& entry : entries.value_or(std::vector<platform::FolderEntry>{})) {
        const std::string temporary = platform::JoinPath(folder, entry.name);
        const auto changed = entry.kind == platform::FileKind::Regular && platform::IsTemporaryNameFor(entry.name, name)
                                 ? m_files.LastChanged(temporary)
                                 : std::nullopt;
        if (changed && *changed < m_runStarted - kStaleTemporaryAge)
            m_files.Remove(temporary);
    }
}

void CChannelType::OpenWriter(CSndFormFile& writer) const
{
    RemoveStaleTemporaries(writer.GetPath());
    if (writer.OpenFile())
        return;
    const std::string folder = platform::FolderPart(writer.GetPath());
    const bool folderMissing = !folder.empty() && m_files.KindOf(folder) != platform::FileKind::Folder;
    throw ExportError{folderMissing ? Reason::OutputFolderMissing : Reason::OutputWriteFailed, writer.GetPath()};
}

std::vector<std::uint8_t> CChannelType::MakeChunkBuffer(int channels) const
{
    Require(m_sampleBytes > 0 && m_sampleBytes <= kMaxBytesPerSample);
    return std::vector<std::uint8_t>(static_cast<std::size_t>(m_sampleBytes) * static_cast<std::size_t>(channels) *
                                     kChunkFrames);
}

void CChannelType::AppendChunk(CSndFormFile& writer, const std::vector<std::uint8_t>& chunk, std::uint64_t& dataBytes)
{
    Require(writer.CanHold(dataBytes + chunk.size()), Reason::OutputTooLarge, writer.GetPath());
    Require(writer.WriteData(chunk.size(), chunk.data()), Reason::OutputWriteFailed, writer.GetPath());
    dataBytes += chunk.size();
}

void CChannelType::ExportTracks(CSndFormFile& writer, std::span<CTrack* const> tracks,
                                std::vector<std::uint8_t>& chunk, CExportProgress& progress)
{
    // Every track must deliver samples of the width the chunk slots and the header state.
    const std::size_t frameBytes = static_cast<std::size_t>(writer.GetBytesPerSample()) * writer.GetChannels();
    for (const CTrack* track : tracks)
        Require(track->GetBytesPerSample() == writer.GetBytesPerSample());
    Require(tracks.size() == writer.GetChannels() && chunk.size() == frameBytes * kChunkFrames);
    const std::string& path = writer.GetPath();
    Require(writer.WriteHeader(0), Reason::OutputWriteFailed, path);
    progress.BeginFile(ExportFileFrames(tracks.data(), static_cast<int>(tracks.size())));
    const std::uint64_t dataBytes = WriteChunks(writer, tracks, chunk, progress);
    Require(writer.WriteHeader(dataBytes), Reason::OutputWriteFailed, path);
    Require(writer.CloseFile(), Reason::OutputWriteFailed, path);
    m_writtenFiles.push_back({path, dataBytes / frameBytes});
}

std::uint64_t CChannelType::WriteChunks(CSndFormFile& writer, std::span<CTrack* const> tracks,
                                        std::vector<std::uint8_t>& chunk, CExportProgress& progress)
{
    const auto width = static_cast<std::size_t>(writer.GetBytesPerSample());
    const std::size_t frameBytes = width * tracks.size();
    std::uint64_t dataBytes = 0;
    for (;;) {
        // Every read's sample goes into the chunk, also the silence that comes with
        // a false result; the flag only tells whether any read delivered.
        // Tracks are independent, so each fills its channel of the chunk in one call.
        Require(!progress.StopRequested(), Reason::Interrupted, writer.GetPath());
        bool delivered = false;
        for (std::size_t i = 0; i < tracks.size(); ++i)
            delivered |= tracks[i]->ReadSamples(chunk.data() + width * i, kChunkFrames, frameBytes);
        writer.ConvertSample(chunk.data(), chunk.data(), chunk.size());
        AppendChunk(writer, chunk, dataBytes);
        if (!delivered) {
            progress.FileWritten();
            return dataBytes;
        }
        progress.ChunkWritten();
    }
}
