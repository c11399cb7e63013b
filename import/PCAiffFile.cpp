#include "import/PCAiffFile.h"

#include "app/AiffLayout.h"
#include "platform/ByteSource.h"
#include "platform/Endian.h"
#include "recorder/Formats.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace aiff;

constexpr std::size_t kSearchBlockSize = 64 * 1024;
constexpr std::size_t kFormTypeOffset = chunk::kHeaderSize;

// The first bytes of "COMM": its header, channels, frames, sample size and the first
// 4 bytes of the extended-precision rate.
constexpr std::size_t kCommonReadSize = chunk::kHeaderSize + kRateOffset + chunk::kWordSize;

// The first bytes of "SSND": its header, the sample offset and the block size.
constexpr std::size_t kSoundDataHeaderSize = chunk::kHeaderSize + kSoundDataFieldsSize;

constexpr std::uint16_t kMonoChannels = 1;

// The head of an extended-precision number: 15 exponent bits above the top 16
// mantissa bits, whose first is the explicit leading one.
constexpr unsigned kExponentShift = 16;
constexpr std::uint32_t kExponentMask = 0x7FFF;
constexpr std::uint32_t kMantissaTopMask = 0xFFFF;
constexpr int kExponentBias = 16383;
constexpr int kMantissaTopFraction = 15;
constexpr std::uint32_t kSignBit = 0x80000000;

// The rate the recorder can take and the export write back whose head is `head`.
std::optional<std::uint32_t> RateOfHead(std::uint32_t head)
{
    for (const RateFormat& rate : kRateFormats) {
        if (rate.exportable && endian::ExtendedHead(rate.hz) == head)
            return rate.hz;
    }
    return std::nullopt;
}

// The size of the rate a head stands for, to name a refused rate.
std::string HzOfHead(std::uint32_t head)
{
    const int exponent = static_cast<int>((head >> kExponentShift) & kExponentMask) - kExponentBias;
    std::ostringstream hz;
    hz << std::ldexp(static_cast<double>(head & kMantissaTopMask), exponent - kMantissaTopFraction);
    return hz.str();
}

// Why the rate whose head is `head` is refused: an exponent of all ones is an
// infinity or not a number; a negative rate is named by its size.
HeaderFault RateFault(std::uint32_t head)
{
    if (((head >> kExponentShift) & kExponentMask) == kExponentMask)
        return HeaderFault{Reason::RateNotANumber, {}};
    if ((head & kSignBit) != 0 && (head & ~kSignBit) != 0)
        return HeaderFault{Reason::NegativeRate, HzOfHead(head)};
    return HeaderFault{Reason::UnsupportedRate, HzOfHead(head)};
}

// The first "FORM" and whether its form type is AIFF-C; nothing when it is neither AIFF nor AIFF-C.
struct Form {
    std::uint64_t position = 0;
    bool compressed = false;
};

std::optional<Form> FindForm(platform::ByteSource& source)
{
    const auto form = FindIdentifier(source, kFormId);
    char formType[chunk::kIdSize];
    if (!form || !source.ReadExactly(*form + kFormTypeOffset, formType, sizeof formType))
        return std::nullopt;
    if (std::memcmp(formType, kAiffFormType, chunk::kIdSize) == 0)
        return Form{*form, false};
    if (std::memcmp(formType, kAiffcFormType, chunk::kIdSize) == 0)
        return Form{*form, true};
    return std::nullopt;
}

// Where the "COMM" and the "SSND" chunk headers stand.
struct ChunkPositions {
    std::optional<std::uint64_t> common;
    std::optional<std::uint64_t> soundData;

    bool Complete() const { return common && soundData; }
};

// Walks from chunk header to chunk header after the FORM header at `form`, skipping
// the pad byte after a chunk of odd size, up to the end of the file (whatever the
// FORM size says), and notes the first "COMM" and the first "SSND" it meets. Every
// step moves forward by at least a header, so the walk ends. False when a chunk
// header inside the file cannot be read.
bool WalkChunks(platform::ByteSource& source, std::uint64_t form, ChunkPositions& found)
{
    std::uint8_t header[chunk::kHeaderSize];
    for (std::uint64_t position = form + chunk::kFormHeaderSize;
         !found.Complete() && position + chunk::kHeaderSize <= source.Size();) {
        if (!source.ReadExactly(position, header, sizeof header))
            return false;
        if (!found.common && std::memcmp(header, kCommonId, chunk::kIdSize) == 0)
            found.common = position;
        if (!found.soundData && std::memcmp(header, kSoundDataId, chunk::kIdSize) == 0)
            found.soundData = position;
        position += chunk::kHeaderSize + chunk::PaddedSize(endian::LoadBig32(header + chunk::kSizeOffset));
    }
    return true;
}

// The chunks of a form: walked from its header; when the walk misses either of them in
// an AIFF form, both are searched byte-wise from the start of the file, as AIFF files
// always were. An AIFF-C form is read only through the walk. Nothing when the walk
// cannot read the file: the search could then take an identifier inside another
// chunk for the chunk itself.
std::optional<ChunkPositions> FindChunks(platform::ByteSource& source, const Form& form)
{
    ChunkPositions walked;
    if (!WalkChunks(source, form.position, walked))
        return std::nullopt;
    if (walked.Complete() || form.compressed)
        return walked;
    return ChunkPositions{FindIdentifier(source, kCommonId), FindIdentifier(source, kSoundDataId)};
}

// The sample byte order an AIFF-C "COMM" chunk at `position` states through its
// compression type: NONE big-endian, sowt little-endian. Why it is refused, or nothing.
std::optional<HeaderFault> ReadCompression(platform::ByteSource& source, std::uint64_t position,
                                           CPCSoundFile::ByteOrder& order)
{
    std::uint8_t sizeField[chunk::kIdSize];
    char type[chunk::kIdSize];
    if (!source.ReadExactly(position + chunk::kSizeOffset, sizeField, sizeof sizeField) ||
        endian::LoadBig32(sizeField) < kAiffcCommonSize ||
        !source.ReadExactly(position + chunk::kHeaderSize + kCompressionTypeOffset, type, sizeof type))
        return HeaderFault{Reason::FormatChunkDamaged, {}};
    if (std::memcmp(type, kCompressionNone, chunk::kIdSize) == 0) {
        order = CPCSoundFile::kBigEndian;
        return std::nullopt;
    }
    if (std::memcmp(type, kCompressionSwapped, chunk::kIdSize) == 0) {
        order = CPCSoundFile::kLittleEndian;
        return std::nullopt;
    }
    for (const char* floatType : kFloatTypes) {
        if (std::memcmp(type, floatType, chunk::kIdSize) == 0)
            return HeaderFault{Reason::FloatSamples, {}};
    }
    std::string name;
    for (const char c : type)
        name += (c >= ' ' && c <= '~') ? c : '?';
    return HeaderFault{Reason::CompressedSamples, name};
}

struct CommonFields {
    std::uint16_t channels = 0;
    std::uint32_t frames = 0;
    std::uint16_t bits = 0;
    std::uint32_t rate = 0;
};

// Reads an accepted "COMM" chunk: one channel of 16, 20 or 24 bits at a rate the
// export can write back. Why it is refused, or nothing.
std::optional<HeaderFault> ReadCommon(platform::ByteSource& source, std::optional<std::uint64_t> position,
                                      CommonFields& format)
{
    if (!position)
        return HeaderFault{Reason::NoFormatChunk, {}};
    std::uint8_t common[kCommonReadSize];
    if (!source.ReadExactly(*position, common, sizeof common))
        return HeaderFault{Reason::FormatChunkDamaged, {}};
    const std::uint8_t* fields = common + chunk::kHeaderSize;
    format.channels = endian::LoadBig16(fields + kChannelsOffset);
    format.frames = endian::LoadBig32(fields + kFramesOffset);
    format.bits = endian::LoadBig16(fields + kSampleSizeOffset);
    const std::uint32_t head = endian::LoadBig32(fields + kRateOffset);
    if (format.channels != kMonoChannels)
        return HeaderFault{Reason::NotMono, std::to_string(format.channels)};
    if (!WordLengthOfBits(format.bits))
        return HeaderFault{Reason::UnsupportedBits, std::to_string(format.bits)};
    const auto rate = RateOfHead(head);
    if (!rate)
        return RateFault(head);
    format.rate = *rate;
    return std::nullopt;
}

struct SampleData {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// Where the samples lie: after the "SSND" offset field's padding, to the end of the
// chunk. Why they cannot be found, or nothing.
std::optional<HeaderFault> ReadSoundData(platform::ByteSource& source, std::optional<std::uint64_t> position,
                                         SampleData& data)
{
    if (!position)
        return HeaderFault{Reason::NoSampleData, {}};
    std::uint8_t soundData[kSoundDataHeaderSize];
    if (!source.ReadExactly(*position, soundData, sizeof soundData))
        return HeaderFault{Reason::DataBeyondEnd, {}};
    const std::uint64_t chunkSize = endian::LoadBig32(soundData + chunk::kSizeOffset);
    const std::uint64_t padding = endian::LoadBig32(soundData + chunk::kHeaderSize + kSampleOffsetOffset);
    if (chunkSize < kSoundDataFieldsSize + padding)
        return HeaderFault{Reason::SampleOffsetBeyondChunk, {}};
    data.offset = *position + kSoundDataHeaderSize + padding;
    data.size = chunkSize - kSoundDataFieldsSize - padding;
    if (data.offset > std::numeric_limits<std::uint32_t>::max())
        return HeaderFault{Reason::DataOffsetTooLarge, {}};
    return std::nullopt;
}

}  // namespace

std::optional<std::uint64_t> FindIdentifier(platform::ByteSource& source, const char* id)
{
    std::vector<char> buffer(kSearchBlockSize);
    for (std::uint64_t start = 0;;) {
        const std::size_t got = source.ReadAt(start, buffer.data(), buffer.size()).value_or(0);
        const auto end = buffer.begin() + static_cast<std::ptrdiff_t>(got);
        const auto found = std::search(buffer.begin(), end, id, id + chunk::kIdSize);
        if (found != end)
            return start + static_cast<std::uint64_t>(found - buffer.begin());
        if (got < buffer.size())
            return std::nullopt;
        // The next block overlaps this one so that an identifier across the seam is found.
        start += got - (chunk::kIdSize - 1);
    }
}

CPCAiffFile::CPCAiffFile(platform::FileSystem& files) : CPCSoundFile(SoundFileKind::Aiff, kBigEndian, files) {}

std::optional<Refusal> CPCAiffFile::ParseHeader(platform::ByteSource& source)
{
    const auto form = FindForm(source);
    if (!form)
        return FormatRefusal(Reason::NotAiff);
    const auto chunks = FindChunks(source, *form);
    if (!chunks)
        return FormatRefusal(Reason::SourceReadFailed);
    CommonFields format;
    SampleData data;
    ByteOrder order = kBigEndian;
    std::optional<HeaderFault> fault;
    if (form->compressed && chunks->common)
        fault = ReadCompression(source, *chunks->common, order);
    if (!fault)
        fault = ReadCommon(source, chunks->common, format);
    if (!fault)
        fault = ReadSoundData(source, chunks->soundData, data);
    if (fault)
        return FormatRefusal(fault->reason, fault->detail);

    m_byteOrder = order;
    m_channels = format.channels;
    m_bitsPerSample = format.bits;
    m_sampleRate = format.rate;
    m_dataSize = static_cast<std::uint32_t>(data.size);
    m_dataOffset = static_cast<std::uint32_t>(data.offset);
    m_statedSampleBytes = std::uint64_t{format.frames} * WordLengthOfBits(format.bits)->bytesPerSample;
    return std::nullopt;
}
