#include "import/PCWaveFile.h"

#include "app/WaveLayout.h"
#include "platform/ByteSource.h"
#include "platform/Endian.h"
#include "recorder/Formats.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

namespace {

using namespace wave;

constexpr std::uint16_t kMonoChannels = 1;

struct Chunk {
    std::uint64_t position;  // of its header
    std::uint32_t size;      // of its data, as the header states it

    std::uint64_t DataPosition() const { return position + chunk::kHeaderSize; }
    // Where the next chunk starts, after the pad byte of a chunk of odd size.
    std::uint64_t End() const { return DataPosition() + chunk::PaddedSize(size); }
};

// The first chunk `id` whose header lies inside [begin, end), walking from chunk
// header to chunk header. Every step moves forward by at least a header, so a
// damaged size ends the walk at `end` instead of looping.
std::optional<Chunk> FindChunk(platform::ByteSource& source, std::uint64_t begin, std::uint64_t end, const char* id)
{
    for (std::uint64_t position = begin; position + chunk::kHeaderSize <= end;) {
        std::uint8_t header[chunk::kHeaderSize];
        if (!source.ReadExactly(position, header, sizeof header))
            return std::nullopt;
        const Chunk chunk{position, endian::LoadLittle32(header + chunk::kSizeOffset)};
        if (std::memcmp(header, id, chunk::kIdSize) == 0)
            return chunk;
        position = chunk.End();
    }
    return std::nullopt;
}

// The top-level RIFF chunk of form type WAVE.
std::optional<Chunk> FindRiffWave(platform::ByteSource& source)
{
    for (std::uint64_t position = 0;;) {
        const auto riff = FindChunk(source, position, source.Size(), kRiffId);
        if (!riff)
            return std::nullopt;
        char formType[chunk::kFormTypeSize];
        if (!source.ReadExactly(riff->DataPosition(), formType, sizeof formType))
            return std::nullopt;
        if (std::memcmp(formType, kWaveFormType, chunk::kIdSize) == 0)
            return riff;
        position = riff->End();
    }
}

// The refusal of the extension of an extensible "fmt " chunk (kExtensibleFormatSize
// bytes in `fields`), or nothing when its samples can be imported.
std::optional<HeaderFault> ExtensionFault(const std::uint8_t* fields)
{
    if (endian::LoadLittle16(fields + kExtensionSizeOffset) < kMinimumExtensionSize)
        return HeaderFault{Reason::FormatChunkDamaged, {}};
    const std::uint8_t* subFormat = fields + kSubFormatOffset;
    if (!std::equal(kPcmSubFormat.begin() + kSubFormatTagSize, kPcmSubFormat.end(), subFormat + kSubFormatTagSize))
        return HeaderFault{Reason::CompressedSamples, "an unknown sub-format"};
    const std::uint32_t subTag = endian::LoadLittle32(subFormat);
    if (subTag == kFloatTag)
        return HeaderFault{Reason::FloatSamples, {}};
    if (subTag != kPcmTag)
        return HeaderFault{Reason::CompressedSamples, "sub-format " + std::to_string(subTag)};
    const std::uint16_t container = endian::LoadLittle16(fields + kBitsOffset);
    const std::uint16_t valid = endian::LoadLittle16(fields + kValidBitsOffset);
    // The valid bits must be a recorder word length, in the container the PC side holds it in.
    const auto wordLength = WordLengthOfBits(valid);
    if (!wordLength || wordLength->bytesPerSample * endian::kBitsPerByte != container)
        return HeaderFault{Reason::UnsupportedContainer,
                           std::to_string(valid) + " bits in " + std::to_string(container) + "-bit containers"};
    return std::nullopt;
}

// The refusal of a "fmt " chunk, or nothing when its samples can be imported.
// `fields` holds kExtensibleFormatSize bytes when the tag is the extensible one.
std::optional<HeaderFault> FormatFault(const std::uint8_t* fields)
{
    const std::uint16_t channels = endian::LoadLittle16(fields + kChannelsOffset);
    if (channels != kMonoChannels)
        return HeaderFault{Reason::NotMono, std::to_string(channels)};
    const std::uint32_t rate = endian::LoadLittle32(fields + kRateOffset);
    if (!RateOfHz(rate))
        return HeaderFault{Reason::UnsupportedRate, std::to_string(rate)};
    const std::uint16_t tag = endian::LoadLittle16(fields + kTagOffset);
    const std::uint16_t bits = endian::LoadLittle16(fields + kBitsOffset);
    switch (tag) {
    case kPcmTag:
        if (!WordLengthOfBits(bits))
            return HeaderFault{Reason::UnsupportedBits, std::to_string(bits)};
        return std::nullopt;
    case kFloatTag:
        return HeaderFault{Reason::FloatSamples, {}};
    case kExtensibleTag:
        return ExtensionFault(fields);
    default:
        return HeaderFault{Reason::CompressedSamples, "format tag " + std::to_string(tag)};
    }
}

// The word length of accepted fields: the valid bits of the extensible format.
std::uint16_t AcceptedBits(const std::uint8_t* fields)
{
    const bool extensible = endian::LoadLittle16(fields + kTagOffset) == kExtensibleTag;
    return endian::LoadLittle16(fields + (extensible ? kValidBitsOffset : kBitsOffset));
}

// Reads the fields of the "fmt " chunk the checks need, never more: 16 bytes,
// 40 for the extensible format. False when the chunk is shorter than that or
// runs past the end of the file.
bool ReadFormatFields(platform::ByteSource& source, const Chunk& format, std::uint8_t (&fields)[kExtensibleFormatSize])
{
    if (format.DataPosition() + format.size > source.Size() || format.size < kPlainFormatSize ||
        !source.ReadExactly(format.DataPosition(), fields, kPlainFormatSize))
        return false;
    if (endian::LoadLittle16(fields + kTagOffset) != kExtensibleTag)
        return true;
    return format.size >= kExtensibleFormatSize &&
           source.ReadExactly(format.DataPosition(), fields, kExtensibleFormatSize);
}

}  // namespace

CPCWaveFile::CPCWaveFile(platform::FileSystem& files) : CPCSoundFile(SoundFileKind::Wave, kLittleEndian, files) {}

std::optional<Refusal> CPCWaveFile::ParseHeader(platform::ByteSource& source)
{
    const auto riff = FindRiffWave(source);
    if (!riff)
        return FormatRefusal(Reason::NotWave);
    // Every search stays inside the RIFF chunk and inside the file.
    const std::uint64_t riffEnd = std::min(riff->DataPosition() + riff->size, source.Size());
    const std::uint64_t riffBegin = riff->DataPosition() + chunk::kFormTypeSize;
    const auto format = FindChunk(source, riffBegin, riffEnd, kFormatId);
    if (!format)
        return FormatRefusal(Reason::NoFormatChunk);
    std::uint8_t fields[kExtensibleFormatSize] = {};
    if (!ReadFormatFields(source, *format, fields))
        return FormatRefusal(Reason::FormatChunkDamaged);
    if (const auto fault = FormatFault(fields))
        return FormatRefusal(fault->reason, fault->detail);
    // "data" is searched only after the end of "fmt ".
    const auto data = FindChunk(source, format->End(), riffEnd, kDataId);
    if (!data || data->size == 0)
        return FormatRefusal(Reason::NoSampleData);
    if (data->DataPosition() > std::numeric_limits<std::uint32_t>::max())
        return FormatRefusal(Reason::DataOffsetTooLarge);

    m_channels = kMonoChannels;
    m_sampleRate = endian::LoadLittle32(fields + kRateOffset);
    m_bitsPerSample = AcceptedBits(fields);
    m_blockAlign = endian::LoadLittle16(fields + kBlockAlignOffset);
    m_dataSize = data->size;
    m_dataOffset = static_cast<std::uint32_t>(data->DataPosition());
    return std::nullopt;
}
