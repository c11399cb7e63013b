#include "export/AIFFFile.h"

#include "app/AiffLayout.h"
#include "platform/Endian.h"

#include <array>
#include <cstring>

namespace {

// Byte offsets of the header fields; the SSND offset and block size fields stay zero.
constexpr std::size_t kFormLengthAt = chunk::kSizeOffset;
constexpr std::size_t kAiffTagAt = chunk::kHeaderSize;
constexpr std::size_t kCommLengthAt = aiff::kCommonChunkAt + chunk::kSizeOffset;
constexpr std::size_t kChannelsAt = aiff::kCommonFieldsAt + aiff::kChannelsOffset;
constexpr std::size_t kFramesAt = aiff::kCommonFieldsAt + aiff::kFramesOffset;
constexpr std::size_t kBitsAt = aiff::kCommonFieldsAt + aiff::kSampleSizeOffset;
constexpr std::size_t kRateAt = aiff::kCommonFieldsAt + aiff::kRateOffset;  // only the first word is nonzero
constexpr std::size_t kSsndLengthAt = aiff::kSoundDataChunkAt + chunk::kSizeOffset;

}  // namespace

CAIFFFile::CAIFFFile(std::string path, const sobinder& record, int channels, platform::FileSystem& files)
    : CSndFormFile(std::move(path), record, channels, files)
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
    PutTag(&header[0], aiff::kFormId);
    endian::StoreBig(&header[kFormLengthAt], static_cast<std::uint32_t>(kHeaderSize - chunk::kHeaderSize) + n, chunk::kWordSize);
    PutTag(&header[kAiffTagAt], aiff::kAiffFormType);
    PutTag(&header[aiff::kCommonChunkAt], aiff::kCommonId);
    endian::StoreBig(&header[kCommLengthAt], aiff::kCommonSize, chunk::kWordSize);
    endian::StoreBig(&header[kChannelsAt], m_channels, chunk::kHalfWordSize);
    endian::StoreBig(&header[kFramesAt], frames, chunk::kWordSize);
    endian::StoreBig(&header[kBitsAt], static_cast<std::uint32_t>(m_bitsPerSample), chunk::kHalfWordSize);
    endian::StoreBig(&header[kRateAt], m_rateWord, chunk::kWordSize);
    PutTag(&header[aiff::kSoundDataChunkAt], aiff::kSoundDataId);
    endian::StoreBig(&header[kSsndLengthAt], n + aiff::kSoundDataFieldsSize, chunk::kWordSize);
    return WriteAtStart(header.data(), header.size());
}

std::size_t CAIFFFile::ConvertSample(const std::uint8_t* source, std::uint8_t* destination,
                                     std::size_t byteCount) const
{
    if (source != destination)
        std::memmove(destination, source, byteCount);
    return byteCount;
}
