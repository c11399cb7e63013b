#include "archive/LostSamples.h"

#include "platform/Files.h"
#include "recorder/Track.h"

#include <algorithm>

namespace archive {

namespace {

constexpr std::uint64_t kBlockBytes = kRecorderBlockSize;

// Where the samples of a data file sit in it: whole groups in each block, the block's
// spare bytes after them.
class FilePlaces {
public:
    explicit FilePlaces(const WordLengthLayout& layout)
        : m_groupBytes(static_cast<std::uint64_t>(layout.groupBytes)),
          m_samplesPerBlock(static_cast<std::uint64_t>(layout.samplesPerBlock)),
          m_groupsPerBlock(m_samplesPerBlock / kSamplesPerGroup)
    {
    }

    // The first sample of the first group that begins at or after `byte` (`roundUp`),
    // or of the group holding it; spare bytes count as the next block's start.
    std::uint64_t SampleAt(std::uint64_t byte, bool roundUp) const
    {
        const std::uint64_t within = byte % kBlockBytes;
        const std::uint64_t group = roundUp ? (within + m_groupBytes - 1) / m_groupBytes : within / m_groupBytes;
        return byte / kBlockBytes * m_samplesPerBlock + std::min(group, m_groupsPerBlock) * kSamplesPerGroup;
    }

    // The first byte of the group that begins with sample `sample`.
    std::uint64_t ByteOf(std::uint64_t sample) const
    {
        return sample / m_samplesPerBlock * kBlockBytes + sample % m_samplesPerBlock / kSamplesPerGroup * m_groupBytes;
    }

    // The samples whose groups `range` touches: [first, end).
    std::pair<std::uint64_t, std::uint64_t> Samples(const UnreadableRange& range) const
    {
        return {SampleAt(range.offset, false), SampleAt(range.offset + range.length, true)};
    }

private:
    std::uint64_t m_groupBytes;
    std::uint64_t m_samplesPerBlock;
    std::uint64_t m_groupsPerBlock;
};

// Reads another source with the `silenced` ranges (in offset order) zero and unread.
class SilencedSource : public platform::ByteSource {
public:
    SilencedSource(std::unique_ptr<platform::ByteSource> inner, const std::vector<UnreadableRange>& silenced)
        : m_inner(std::move(inner)), m_silenced(silenced)
    {
    }

    std::uint64_t Size() const override { return m_inner->Size(); }

    std::optional<std::size_t> ReadAt(std::uint64_t position, void* buffer, std::size_t count) override
    {
        if (position >= Size())
            return 0;
        count = static_cast<std::size_t>(std::min<std::uint64_t>(count, Size() - position));
        auto* out = static_cast<std::uint8_t*>(buffer) - position;  // indexed by file offset
        const std::uint64_t end = position + count;
        std::uint64_t at = position;
        // The first range that ends after `position`: the ranges lie in offset order and,
        // widened to whole groups, may overlap but their ends are in order too.
        const auto first = std::upper_bound(m_silenced.begin(), m_silenced.end(), position,
                                            [](std::uint64_t offset, const UnreadableRange& range) {
                                                return offset < range.offset + range.length;
                                            });
        for (auto range = first; range != m_silenced.end(); ++range) {
            const std::uint64_t rangeEnd = range->offset + range->length;
            if (rangeEnd <= at)
                continue;  // inside one zeroed already: widened ranges may overlap
            if (range->offset >= end)
                break;
            if (range->offset > at && !m_inner->ReadExactly(at, out + at, range->offset - at))
                return std::nullopt;
            at = std::max(at, range->offset);
            const std::uint64_t zeroEnd = std::min(rangeEnd, end);
            std::fill(out + at, out + zeroEnd, std::uint8_t{0});
            at = zeroEnd;
        }
        if (at < end && !m_inner->ReadExactly(at, out + at, end - at))
            return std::nullopt;
        return count;
    }

private:
    std::unique_ptr<platform::ByteSource> m_inner;
    const std::vector<UnreadableRange>& m_silenced;
};

// "h:mm:ss.mmm-h:mm:ss.mmm (8b320300.030 bytes A-B)".
std::string SpanText(const SilentSpan& span, std::uint32_t rate)
{
    const auto first = static_cast<std::int64_t>(span.first);
    const auto last = static_cast<std::int64_t>(span.first + span.samples - 1);
    return TimeText(first, rate, TimePrecision::Milliseconds) + "-" +
           TimeText(last, rate, TimePrecision::Milliseconds) + " (" + span.dataFile + " bytes " +
           std::to_string(span.bytes.offset) + "-" + std::to_string(span.bytes.offset + span.bytes.length - 1) + ")";
}

}  // namespace

const DamageMap::value_type* DamageOfFile(const DamageMap& damage, const std::string& name)
{
    const auto file = std::find_if(damage.begin(), damage.end(),
                                   [&](const auto& entry) { return platform::EqualsIgnoringCase(entry.first, name); });
    return file == damage.end() ? nullptr : &*file;
}

std::vector<SilentSpan> SilentSpans(const TrackFacts& track, const WordLengthLayout& layout, const DamageMap& damage)
{
    // The chain as the track reader walks it: a segment delivers its samples from where
    // the previous one ended to its last.
    const FilePlaces places(layout);
    std::vector<SilentSpan> spans;
    std::int64_t end = 0;
    for (const auto& segment : track.segments) {
        const std::int64_t first = (std::int64_t{segment.startGroup} - segment.leadInGroups) * kSamplesPerGroup;
        const std::int64_t stop = (std::int64_t{segment.startGroup} + segment.lengthGroups) * kSamplesPerGroup;
        const std::int64_t from = std::max(first, end);
        if (stop <= from)
            continue;
        end = stop;
        const auto* file = DamageOfFile(damage, segment.dataFile);
        if (!file)
            continue;
        for (const auto& range : file->second) {
            const auto [lost, lostEnd] = places.Samples(range);
            const std::int64_t spanFirst = std::max(from, first + static_cast<std::int64_t>(lost));
            const std::int64_t spanEnd = std::min(stop, first + static_cast<std::int64_t>(lostEnd));
            if (spanFirst < spanEnd)
                spans.push_back({static_cast<std::uint64_t>(spanFirst), static_cast<std::uint64_t>(spanEnd - spanFirst),
                                 file->first, range});
        }
    }
    return spans;
}

Warning SilenceWarning(const TrackFacts& track, const SilentSpan& span, std::uint32_t rate)
{
    return Warning{WarningKind::UnreadableSilenced, track.description, SpanText(span, rate)};
}

DamageMap SilencedBytes(const DiskSurvey& survey, const DamageMap& damage)
{
    DamageMap silenced;
    for (const auto& project : survey.projects) {
        if (!project.format)
            continue;
        const FilePlaces places(LayoutOfFormat(project.format->wordLength));
        for (const auto& track : project.tracks) {
            for (const auto& segment : track.segments) {
                const auto* file = DamageOfFile(damage, segment.dataFile);
                if (!file || silenced.contains(file->first))
                    continue;
                auto& widened = silenced[file->first];
                for (const auto& range : file->second) {
                    const auto [first, end] = places.Samples(range);
                    const std::uint64_t from = std::min(range.offset, places.ByteOf(first));
                    const std::uint64_t to = std::max(range.offset + range.length, places.ByteOf(end));
                    widened.push_back({from, to - from, range.tries});
                }
            }
        }
    }
    return silenced;
}

SilencedReads::SilencedReads(platform::FileSystem& inner, DamageMap silenced)
    : ForwardingFileSystem(inner), m_silenced(std::move(silenced))
{
}

std::unique_ptr<platform::ByteSource> SilencedReads::OpenRead(const std::string& path)
{
    auto source = Inner().OpenRead(path);
    const auto* silenced = DamageOfFile(m_silenced, platform::NamePart(path));
    if (!source || !silenced)
        return source;
    return std::make_unique<SilencedSource>(std::move(source), silenced->second);
}

}  // namespace archive
