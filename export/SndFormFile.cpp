#include "export/SndFormFile.h"

#include "platform/ReplacingFile.h"

#include <cstring>
#include <utility>

namespace {

// "project 5", as refusals about the project's codes name it.
std::string ProjectSubject(const sobinder& record)
{
    return "project " + std::to_string(record.projectNumber);
}

}  // namespace

std::optional<ProjectFormat> ExportFormatOf(const sobinder& record)
{
    const auto format = FormatOfCodes(record.sampleRate, record.wordLength);
    if (!format || !format->rate.exportable)
        return std::nullopt;
    return format;
}

std::optional<Refusal> ProjectCodesRefusal(const sobinder& record)
{
    if (!WordLengthOfCode(record.wordLength))
        return Refusal{MessageId::ConvertFailed, Reason::UnknownWordLength, ProjectSubject(record),
                       std::to_string(record.wordLength)};
    if (!ExportFormatOf(record))
        return Refusal{MessageId::ConvertFailed, Reason::UnknownRate, ProjectSubject(record),
                       std::to_string(record.sampleRate)};
    return std::nullopt;
}

// A 20-bit project is written as 24-bit samples unchanged: the file's width is the
// word length's file bits.
CSndFormFile::CSndFormFile(std::string path, const ProjectFormat& format, int channels, platform::FileSystem& files)
    : m_path(std::move(path)),
      m_sampleRateHz(format.rate.hz),
      m_channels(static_cast<std::uint16_t>(channels)),
      m_bitsPerSample(static_cast<int>(format.wordLength.fileBits)),
      m_bytesPerSample(static_cast<int>(format.wordLength.bytesPerSample)),
      m_blockAlign(m_bytesPerSample * m_channels),
      m_files(files)
{
}

CSndFormFile::~CSndFormFile() = default;

bool CSndFormFile::OpenFile()
{
    m_file.reset();  // a file still open from an earlier OpenFile is discarded
    m_file = platform::OpenReplacing(m_files, m_path);
    return m_file != nullptr;
}

bool CSndFormFile::CloseFile()
{
    if (!m_file)
        return true;
    const bool closed = m_file->Close();
    m_file.reset();
    return closed;
}

bool CSndFormFile::WriteData(std::size_t byteCount, const std::uint8_t* buffer)
{
    return m_file && m_file->Write(buffer, byteCount);
}

void CSndFormFile::ReverseBytes(std::uint8_t* buffer, std::size_t byteCount)
{
    for (std::size_t low = 0, high = byteCount; low + 1 < high; ++low, --high)
        std::swap(buffer[low], buffer[high - 1]);
}

bool CSndFormFile::WriteAtStart(const std::uint8_t* header, std::size_t size)
{
    return m_file && m_file->Seek(0) && WriteData(size, header);
}

void CSndFormFile::PutTag(std::uint8_t* at, const char* tag)
{
    std::memcpy(at, tag, chunk::kIdSize);
}
