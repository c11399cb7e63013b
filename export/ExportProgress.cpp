#include "export/ExportProgress.h"

#include "recorder/Track.h"

#include <algorithm>

std::uint64_t ExportFileFrames(CTrack* const* tracks, int trackCount)
{
    constexpr std::uint64_t kChunk = kExportChunkFrames;
    std::uint64_t longest = 0;
    for (int i = 0; i < trackCount; ++i)
        longest = std::max(longest, tracks[i]->GetEndPosition());
    const std::uint64_t dataChunks = (longest + kChunk - 1) / kChunk;
    return (dataChunks + 1) * kChunk;
}

std::uint64_t ExportFileDataBytes(CTrack* const* tracks, int trackCount, std::uint64_t sampleBytes)
{
    return ExportFileFrames(tracks, trackCount) * sampleBytes * static_cast<std::uint64_t>(trackCount);
}

std::vector<std::span<CTrack* const>> OutputFilesOf(CTrack* const* tracks, int trackCount, OutputLayout layout)
{
    const auto count = static_cast<std::size_t>(trackCount);
    if (layout == OutputLayout::OneFile)
        return {std::span<CTrack* const>(tracks, count)};
    std::vector<std::span<CTrack* const>> files;
    for (std::size_t i = 0; i < count; ++i)
        files.emplace_back(tracks + i, 1);
    return files;
}

std::uint64_t ExportFrameTotal(CTrack* const* tracks, int trackCount, OutputLayout layout)
{
    std::uint64_t total = 0;
    for (const auto file : OutputFilesOf(tracks, trackCount, layout))
        total += ExportFileFrames(file.data(), static_cast<int>(file.size()));
    return total;
}

CExportProgress::CExportProgress(std::unique_ptr<platform::ProgressWindow> window, std::uint64_t totalFrames)
    : m_window(std::move(window))
{
    if (m_window)
        m_window->SetTotal(totalFrames);
}

void CExportProgress::Show()
{
    if (m_window)
        m_window->Show();
}

void CExportProgress::BeginFile(std::uint64_t frames)
{
    m_fileFrames = frames;
    m_fileWritten = 0;
}

void CExportProgress::ChunkWritten()
{
    m_fileWritten = std::min(m_fileWritten + kExportChunkFrames, m_fileFrames);
    ReportDone(m_filesDone + m_fileWritten);
    if (m_window)
        m_window->StepAnimation();
}

void CExportProgress::FileWritten()
{
    m_filesDone += m_fileFrames;
    m_fileWritten = 0;
    m_fileFrames = 0;
    ReportDone(m_filesDone);
}

bool CExportProgress::StopRequested() const
{
    return m_window && m_window->StopRequested();
}

void CExportProgress::ReportDone(std::uint64_t done)
{
    if (m_window)
        m_window->SetDone(done);
}
