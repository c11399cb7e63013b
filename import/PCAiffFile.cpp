#include "import/PCAiffFile.h"

#include "import/SoundFileInput.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr std::size_t kIdSize = 4;
constexpr std::size_t kSearchBlockSize = 64 * 1024;

constexpr const char* kFormId = "FORM";
constexpr const char* kAiffFormType = "AIFF";
constexpr const char* kCommonId = "COMM";
constexpr const char* kSoundDataId = "SSND";

constexpr std::uint64_t kFormTypeOffset = 8;

// The first 20 bytes of "COMM": id, size, channels, frames, sample size and the
// first 4 bytes of the extended-precision rate.
constexpr std::size_t kCommonReadSize = 20;
constexpr std::size_t kChannelsOffset = 8;
constexpr std::size_t kSampleSizeOffset = 14;
constexpr std::size_t kRateHeadOffset = 16;

// The first 16 bytes of "SSND": id, size, offset, block size.
constexpr std::size_t kSoundDataHeaderSize = 16;
constexpr std::size_t kSoundDataSizeOffset = 4;
constexpr std::size_t kSoundDataOffsetOffset = 8;
// The chunk size counts the offset and block size fields before the samples.
constexpr std::uint64_t kSoundDataFieldsSize = 8;

constexpr std::uint16_t kMonoChannels = 1;

// Sign, exponent and the top 16 mantissa bits of the extended-precision rates.
struct RateHead {
    std::uint32_t head;
    std::uint32_t rate;
};
constexpr RateHead kAcceptedRates[] = {{0x400DFA00, 32000}, {0x400EAC44, 44100}, {0x400EBB80, 48000}};

std::optional<std::uint32_t> RateOf(std::uint32_t head)
{
    for (const auto& accepted : kAcceptedRates) {
        if (accepted.head == head)
            return accepted.rate;
    }
    return std::nullopt;
}

bool HasFormTypeAiff(CSoundFileInput& input)
{
    const auto form = FindIdentifier(input, kFormId);
    char formType[kIdSize];
    return form && input.ReadExactly(*form + kFormTypeOffset, formType, sizeof formType) &&
           std::memcmp(formType, kAiffFormType, kIdSize) == 0;
}

// Reads the `count` bytes at the first occurrence of `id`; their position.
std::optional<std::uint64_t> ReadAtIdentifier(CSoundFileInput& input, const char* id, std::uint8_t* bytes,
                                              std::size_t count)
{
    const auto found = FindIdentifier(input, id);
    if (!found || !input.ReadExactly(*found, bytes, count))
        return std::nullopt;
    return found;
}

struct CommonFields {
    std::uint16_t channels;
    std::uint16_t bits;
    std::uint32_t rate;
};

// The format of an accepted "COMM" chunk: one channel of 16, 20 or 24 bits at a known rate.
std::optional<CommonFields> ReadCommon(CSoundFileInput& input)
{
    std::uint8_t common[kCommonReadSize];
    if (!ReadAtIdentifier(input, kCommonId, common, sizeof common))
        return std::nullopt;
    const std::uint16_t channels = BigEndian16(common + kChannelsOffset);
    const std::uint16_t bits = BigEndian16(common + kSampleSizeOffset);
    const auto rate = RateOf(BigEndian32(common + kRateHeadOffset));
    if (channels != kMonoChannels || !IsAcceptedSampleSize(bits) || !rate)
        return std::nullopt;
    return CommonFields{channels, bits, *rate};
}

struct SampleData {
    std::uint32_t offset;
    std::uint32_t size;
};

// Where the samples lie: after the "SSND" offset field's padding, to the end of the chunk.
std::optional<SampleData> ReadSoundData(CSoundFileInput& input)
{
    std::uint8_t soundData[kSoundDataHeaderSize];
    const auto position = ReadAtIdentifier(input, kSoundDataId, soundData, sizeof soundData);
    if (!position)
        return std::nullopt;
    const std::uint64_t chunkSize = BigEndian32(soundData + kSoundDataSizeOffset);
    const std::uint64_t padding = BigEndian32(soundData + kSoundDataOffsetOffset);
    const std::uint64_t dataOffset = *position + kSoundDataHeaderSize + padding;
    if (chunkSize < kSoundDataFieldsSize + padding || dataOffset > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return SampleData{static_cast<std::uint32_t>(dataOffset),
                      static_cast<std::uint32_t>(chunkSize - kSoundDataFieldsSize - padding)};
}

}  // namespace

std::optional<std::uint64_t> FindIdentifier(CSoundFileInput& input, const char* id)
{
    std::vector<char> buffer(kSearchBlockSize);
    for (std::uint64_t start = 0;;) {
        const std::size_t got = input.ReadAt(start, buffer.data(), buffer.size());
        const auto end = buffer.begin() + static_cast<std::ptrdiff_t>(got);
        const auto found = std::search(buffer.begin(), end, id, id + kIdSize);
        if (found != end)
            return start + static_cast<std::uint64_t>(found - buffer.begin());
        if (got < buffer.size())
            return std::nullopt;
        // The next block overlaps this one so that an identifier across the seam is found.
        start += got - (kIdSize - 1);
    }
}

CPCAiffFile::CPCAiffFile(platform::UserInterface& ui) : CPCSoundFile(ui, kBigEndian) {}

bool CPCAiffFile::ReadHeader(const std::string& path)
{
    CSoundFileInput input;
    if (!input.Open(path) || !HasFormTypeAiff(input))
        return false;
    const auto common = ReadCommon(input);
    if (!common)
        return false;
    const auto data = ReadSoundData(input);
    if (!data || !input.Close())
        return false;

    m_channels = common->channels;
    m_bitsPerSample = common->bits;
    m_sampleRate = common->rate;
    m_dataSize = data->size;
    m_dataOffset = data->offset;
    return true;
}
