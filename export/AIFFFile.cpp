#include "export/AIFFFile.h"

#include "app/AiffLayout.h"
#include "platform/Endian.h"

#include <array>
#include <cstring>

CAIFFFile::CAIFFFile(std::string path, const ProjectFormat& format, int channels, platform::FileSystem& files)
    : CSndFormFile(std::move(path), format, channels, files)
{
    m_rateWord = endian::ExtendedHead(SampleRateHz());
}

bool CAIFFFile::WriteHeader(std::uint64_t dataBytes)
{
    if (!CanHold(dataBytes))
        return false;
    const auto n = static_cast<std::uint32_t>(dataBytes);
    const auto bytesPerSample = static_cast<std::uint32_t>(m_bitsPerSample / endian::kBitsPerByte);
    const std::uint32_t frames = bytesPerSample && m_channels ? n / bytesPerSample / m_channels : 0;
    std::array<std::uint8_t, kHeaderSize> header{};
    std::uint8_t* const form = header.data();
    std::uint8_t* const common = form + aiff::kCommonChunkAt;
    std::uint8_t* const fields = form + aiff::kCommonFieldsAt;
    std::uint8_t* const soundData = form + aiff::kSoundDataChunkAt;
    PutTag(form, aiff::kFormId);
    endian::StoreBig(form + chunk::kSizeOffset, static_cast<std::uint32_t>(kHeaderSize - chunk::kHeaderSize) + n,
                     chunk::kWordSize);
    PutTag(form + chunk::kHeaderSize, aiff::kAiffFormType);
    PutTag(common, aiff::kCommonId);
    endian::StoreBig(common + chunk::kSizeOffset, aiff::kCommonSize, chunk::kWordSize);
    endian::StoreBig(fields + aiff::kChannelsOffset, m_channels, chunk::kHalfWordSize);
    endian::StoreBig(fields + aiff::kFramesOffset, frames, chunk::kWordSize);
    endian::StoreBig(fields + aiff::kSampleSizeOffset, static_cast<std::uint32_t>(m_bitsPerSample),
                     chunk::kHalfWordSize);
    // Of the 10-byte rate only the first word is nonzero.
    endian::StoreBig(fields + aiff::kRateOffset, m_rateWord, chunk::kWordSize);
    // The sample offset and block size fields stay zero.
    PutTag(soundData, aiff::kSoundDataId);
    endian::StoreBig(soundData + chunk::kSizeOffset, n + aiff::kSoundDataFieldsSize, chunk::kWordSize);
    return WriteAtStart(header.data(), header.size());
}

std::size_t CAIFFFile::ConvertSample(const std::uint8_t* source, std::uint8_t* destination,
                                     std::size_t byteCount) const
{
    if (source != destination)
        std::memmove(destination, source, byteCount);
    return byteCount;
}
