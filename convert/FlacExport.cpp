#include "convert/FlacExport.h"

#include "convert/SampleWords.h"
#include "platform/ReplacingFile.h"

#include <cstring>

namespace convert {

namespace {

std::unique_ptr<CFactory> MakeFlacFactory()
{
    return std::make_unique<CFlacFactory>();
}

}  // namespace

CFlacFile::CFlacFile(std::string path, const ProjectFormat& format, int channels, platform::FileSystem& files)
    : CSndFormFile(std::move(path), format, channels, files)
{
}

CFlacFile::~CFlacFile() = default;

bool CFlacFile::OpenFile()
{
    m_writer.reset();  // a stream still open from an earlier OpenFile is discarded
    auto file = platform::OpenReplacing(Files(), m_path);
    if (!file)
        return false;
    m_writer = std::make_unique<FlacWriter>(std::move(file), SampleRateHz(),
                                            static_cast<unsigned>(m_bitsPerSample), m_channels);
    return m_writer->IsOpen();
}

bool CFlacFile::CloseFile()
{
    if (!m_writer)
        return true;
    const bool closed = m_writer->Close();
    m_writer.reset();
    return closed;
}

bool CFlacFile::WriteHeader(std::uint64_t)
{
    return m_writer != nullptr;
}

bool CFlacFile::WriteData(std::size_t byteCount, const std::uint8_t* buffer)
{
    const auto width = static_cast<std::size_t>(m_bytesPerSample);
    const std::size_t frameBytes = width * m_channels;
    if (!m_writer || byteCount % frameBytes != 0)
        return false;
    m_samples.resize(byteCount / width);
    BigEndianToInt32(buffer, width, m_samples.size(), m_samples.data());
    return m_writer->Write(m_samples.data(), byteCount / frameBytes);
}

std::size_t CFlacFile::ConvertSample(const std::uint8_t* source, std::uint8_t* destination,
                                     std::size_t byteCount) const
{
    if (source != destination)
        std::memmove(destination, source, byteCount);
    return byteCount;
}

bool AddFlacExport()
{
    if (!FlacAvailable())
        return false;
    AddSoundFileType(SoundFileKind::Flac, &MakeFlacFactory);
    return true;
}

}  // namespace convert
