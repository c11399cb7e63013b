#include "import/PCWaveFile.h"

#include "import/SoundFileInput.h"
#include "platform/UserInterface.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>

namespace {

constexpr std::uint64_t kChunkHeaderSize = 8;
constexpr std::uint64_t kChunkSizeOffset = 4;
constexpr std::uint64_t kFormTypeSize = 4;
constexpr std::size_t kIdSize = 4;

constexpr const char* kRiffId = "RIFF";
constexpr const char* kWaveFormType = "WAVE";
constexpr const char* kFormatId = "fmt ";
constexpr const char* kDataId = "data";

// The "fmt " chunk: the plain fields, and the extension of the extensible format.
constexpr std::size_t kPlainFormatSize = 16;
constexpr std::size_t kExtensibleFormatSize = 40;
constexpr std::size_t kTagOffset = 0;
constexpr std::size_t kChannelsOffset = 2;
constexpr std::size_t kRateOffset = 4;
constexpr std::size_t kBlockAlignOffset = 12;
constexpr std::size_t kBitsOffset = 14;
constexpr std::size_t kExtensionSizeOffset = 16;
constexpr std::size_t kValidBitsOffset = 18;
constexpr std::size_t kSubFormatOffset = 24;
constexpr std::uint16_t kMinimumExtensionSize = 22;

constexpr std::uint16_t kPcmTag = 1;
constexpr std::uint16_t kExtensibleTag = 0xFFFE;
constexpr std::uint16_t kMonoChannels = 1;
// The PCM sub-format, 00000001-0000-0010-8000-00AA00389B71, as stored.
constexpr std::array<std::uint8_t, 16> kPcmSubFormat = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                        0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

struct ContainerAndValidBits {
    std::uint16_t container;
    std::uint16_t valid;
};
constexpr ContainerAndValidBits kExtensibleWordLengths[] = {{16, 16}, {24, 24}, {24, 20}};

constexpr std::uint32_t kAcceptedRates[] = {32000, 44056, 44100, 47952, 48000, 88200, 96000};

struct Chunk {
    std::uint64_t position;  // of its header
    std::uint32_t size;      // of its data, as the header states it

    std::uint64_t DataPosition() const { return position + kChunkHeaderSize; }
    // Where the next chunk starts: a chunk of odd size is followed by a pad byte.
    std::uint64_t End() const { return DataPosition() + size + (size & 1U); }
};

// The first chunk `id` whose header lies inside [begin, end), walking from chunk
// header to chunk header. Every step moves forward by at least a header, so a
// damaged size ends the walk at `end` instead of looping.
std::optional<Chunk> FindChunk(CSoundFileInput& input, std::uint64_t begin, std::uint64_t end, const char* id)
{
    for (std::uint64_t position = begin; position + kChunkHeaderSize <= end;) {
        std::uint8_t header[kChunkHeaderSize];
        if (!input.ReadExactly(position, header, sizeof header))
            return std::nullopt;
        const Chunk chunk{position, LittleEndian32(header + kChunkSizeOffset)};
        if (std::memcmp(header, id, kIdSize) == 0)
            return chunk;
        position = chunk.End();
    }
    return std::nullopt;
}

// The top-level RIFF chunk of form type WAVE.
std::optional<Chunk> FindRiffWave(CSoundFileInput& input)
{
    for (std::uint64_t position = 0;;) {
        const auto riff = FindChunk(input, position, input.GetLength(), kRiffId);
        if (!riff)
            return std::nullopt;
        char formType[kFormTypeSize];
        if (!input.ReadExactly(riff->DataPosition(), formType, sizeof formType))
            return std::nullopt;
        if (std::memcmp(formType, kWaveFormType, kIdSize) == 0)
            return riff;
        position = riff->End();
    }
}

// The word length of an accepted "fmt " chunk, or nothing when it is refused.
// `fields` holds kExtensibleFormatSize bytes when the tag is the extensible one.
std::optional<std::uint16_t> AcceptedBits(const std::uint8_t* fields)
{
    if (LittleEndian16(fields + kChannelsOffset) != kMonoChannels)
        return std::nullopt;
    const std::uint32_t rate = LittleEndian32(fields + kRateOffset);
    if (std::find(std::begin(kAcceptedRates), std::end(kAcceptedRates), rate) == std::end(kAcceptedRates))
        return std::nullopt;
    const std::uint16_t bits = LittleEndian16(fields + kBitsOffset);
    const std::uint16_t tag = LittleEndian16(fields + kTagOffset);
    if (tag == kPcmTag)
        return IsAcceptedSampleSize(bits) ? std::optional<std::uint16_t>(bits) : std::nullopt;
    if (tag != kExtensibleTag || LittleEndian16(fields + kExtensionSizeOffset) < kMinimumExtensionSize ||
        !std::equal(kPcmSubFormat.begin(), kPcmSubFormat.end(), fields + kSubFormatOffset))
        return std::nullopt;
    const std::uint16_t valid = LittleEndian16(fields + kValidBitsOffset);
    for (const auto& accepted : kExtensibleWordLengths) {
        if (accepted.container == bits && accepted.valid == valid)
            return valid;
    }
    return std::nullopt;
}

// Reads the fields of the "fmt " chunk the checks need, never more: 16 bytes,
// 40 for the extensible format. False when the chunk is shorter than that or
// runs past the end of the file.
bool ReadFormatFields(CSoundFileInput& input, const Chunk& format, std::uint8_t (&fields)[kExtensibleFormatSize])
{
    if (format.DataPosition() + format.size > input.GetLength() || format.size < kPlainFormatSize ||
        !input.ReadExactly(format.DataPosition(), fields, kPlainFormatSize))
        return false;
    if (LittleEndian16(fields + kTagOffset) != kExtensibleTag)
        return true;
    return format.size >= kExtensibleFormatSize &&
           input.ReadExactly(format.DataPosition(), fields, kExtensibleFormatSize);
}

}  // namespace

CPCWaveFile::CPCWaveFile(platform::UserInterface& ui) : CPCSoundFile(ui, kLittleEndian) {}

bool CPCWaveFile::Refuse(MessageId id)
{
    m_ui.ShowError(id);
    return false;
}

bool CPCWaveFile::ReadHeader(const std::string& path)
{
    CSoundFileInput input;
    if (!input.Open(path))
        return Refuse(MessageId::FileNotFound);
    const auto riff = FindRiffWave(input);
    if (!riff)
        return Refuse(MessageId::FormatUnknown);
    // Every search stays inside the RIFF chunk and inside the file.
    const std::uint64_t riffEnd = std::min(riff->DataPosition() + riff->size, input.GetLength());
    const std::uint64_t riffBegin = riff->DataPosition() + kFormTypeSize;
    const auto format = FindChunk(input, riffBegin, riffEnd, kFormatId);
    std::uint8_t fields[kExtensibleFormatSize] = {};
    if (!format || !ReadFormatFields(input, *format, fields))
        return Refuse(MessageId::FormatUnknown);
    const auto bits = AcceptedBits(fields);
    if (!bits)
        return Refuse(MessageId::FormatUnknown);
    // "data" is searched only after the end of "fmt ".
    const auto data = FindChunk(input, format->End(), riffEnd, kDataId);
    if (!data || data->size == 0 || data->DataPosition() > std::numeric_limits<std::uint32_t>::max())
        return Refuse(MessageId::FormatUnknown);
    if (!input.Close())
        return Refuse(MessageId::InsideError);

    m_channels = kMonoChannels;
    m_sampleRate = LittleEndian32(fields + kRateOffset);
    m_bitsPerSample = *bits;
    m_blockAlign = LittleEndian16(fields + kBlockAlignOffset);
    m_dataSize = data->size;
    m_dataOffset = static_cast<std::uint32_t>(data->DataPosition());
    return true;
}
