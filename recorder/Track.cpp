#include "recorder/Track.h"

#include "platform/Files.h"
#include "recorder/BinderFile.h"
#include "recorder/Formats.h"
#include "recorder/TrackFile.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::int64_t kSecondsPerMinute = 60;
constexpr std::int64_t kMinutesPerHour = 60;
constexpr std::int64_t kSecondsPerHour = kMinutesPerHour * kSecondsPerMinute;
constexpr std::int64_t kFirstTwoDigitNumber = 10;
constexpr std::int64_t kMillisecondsPerSecond = 1000;
constexpr std::int64_t kFirstThreeDigitNumber = 100;

// A stretch of the time line without samples: where it starts and how long it is.
struct Silence {
    std::int64_t start = 0;
    std::int64_t length = 0;
};

struct ChainMeasure {
    std::int64_t end = 0;
    unsigned segments = 0;
    Silence longestSilence;  // before the first recording or between two
    std::vector<TimeSpan> recorded;
};

// The first and last time-line position of a segment's samples, its lead-in applied.
std::pair<std::int64_t, std::int64_t> SegmentSpan(CLeadInTable& leadIns, const soentry& segment)
{
    const std::int64_t lead = leadIns.LeadIn(segment);
    const std::int64_t start = segment.startGroup;
    return {(start - lead) * kSamplesPerGroup, (start + segment.lengthGroups) * kSamplesPerGroup - 1};
}

// Walks the chain of (track, virtualTrack): each segment in turn becomes current where
// the previous one ended, and moves the end to its last sample when it has any; the
// time line between that end and a later first sample is silent. Nothing when the
// track has no segment.
std::optional<ChainMeasure> MeasureChain(CBinderFile& binder, CLeadInTable& leadIns, const sobinder& song, int track,
                                         int virtualTrack)
{
    soentry segment;
    if (!binder.ReadFirstSegment(song, track, virtualTrack, segment))
        return std::nullopt;
    ChainMeasure measure;
    do {
        const auto [first, last] = SegmentSpan(leadIns, segment);
        if (last >= std::max(first, measure.end)) {
            if (first - measure.end > measure.longestSilence.length)
                measure.longestSilence = {measure.end, first - measure.end};
            measure.recorded.push_back({std::max(first, measure.end), last + 1});
            measure.end = last + 1;
        }
        ++measure.segments;
    } while (binder.ReadNextSegment(segment));
    return measure;
}

}  // namespace

std::string TrackDescription(int track, int virtualTrack)
{
    return "track " + std::to_string(track) + " (virtual track " + std::to_string(virtualTrack) + ")";
}

std::string TimeText(std::int64_t samples, std::uint32_t rate, TimePrecision precision)
{
    const std::int64_t seconds = samples / rate;
    std::string text = std::to_string(seconds / kSecondsPerHour);
    for (const std::int64_t part : {seconds % kSecondsPerHour / kSecondsPerMinute, seconds % kSecondsPerMinute}) {
        text += part < kFirstTwoDigitNumber ? ":0" : ":";
        text += std::to_string(part);
    }
    if (precision == TimePrecision::Seconds)
        return text;
    const std::int64_t milliseconds = samples % rate * kMillisecondsPerSecond / rate;
    text += milliseconds < kFirstTwoDigitNumber ? ".00" : milliseconds < kFirstThreeDigitNumber ? ".0" : ".";
    return text + std::to_string(milliseconds);
}

std::optional<TrackExtent> MeasureTrack(const std::string& folder, const sobinder& song, int track, int virtualTrack,
                                        platform::FileSystem& files)
{
    CBinderFile binder(platform::JoinPath(folder, kBinderFileName), files);
    if (!binder.Exists() || !binder.OpenForRead())
        return std::nullopt;
    CLeadInTable leadIns(platform::JoinPath(folder, kHfsFileName), files);
    const auto extent = MeasureTrack(binder, leadIns, song, track, virtualTrack);
    binder.Close();
    leadIns.Close();
    return extent;
}

std::optional<TrackExtent> MeasureTrack(CBinderFile& binder, CLeadInTable& leadIns, const sobinder& song, int track,
                                        int virtualTrack)
{
    const auto measure = MeasureChain(binder, leadIns, song, track, virtualTrack);
    if (!measure)
        return std::nullopt;
    return TrackExtent{static_cast<std::uint64_t>(measure->end), measure->segments, measure->recorded};
}

CTrack::CTrack(const std::string& folder, const sobinder& song, int track, int virtualTrack,
               platform::FileSystem& files)
    : m_files(files),
      m_folder(platform::WithTrailingSeparator(folder)),
      m_binderPath(platform::JoinPath(folder, kBinderFileName)),
      m_song(song),
      m_track(track),
      m_virtualTrack(virtualTrack),
      m_hfsPath(platform::JoinPath(folder, kHfsFileName))
{
}

CTrack::~CTrack() = default;

std::string CTrack::Describe() const
{
    return TrackDescription(m_track, m_virtualTrack);
}

bool CTrack::HasLeadInTable() const
{
    return m_leadIns && m_leadIns->Exists();
}

Refusal CTrack::Refuse(Reason reason, std::string subject, std::string detail)
{
    m_binder.reset();
    EndTrack(0);
    return Refusal{MessageId::ConvertFailed, reason, std::move(subject), std::move(detail)};
}

std::optional<Refusal> CTrack::Open()
{
    m_file.reset();
    m_binder.reset();
    m_position = 0;
    m_endWarning.reset();
    m_silenceWarning.reset();
    EndTrack(0);  // until the first segment is ready, the track delivers nothing
    const WordLengthLayout layout = LayoutOf(m_song.wordLength);
    if (layout.samplesPerBlock == 0)
        return Refuse(Reason::UnknownWordLength, Describe(), std::to_string(m_song.wordLength));
    m_binder = std::make_unique<CBinderFile>(m_binderPath, m_files);
    if (!m_binder->Exists())
        return Refuse(Reason::ProjectIndexMissing, platform::FolderPart(m_binderPath));
    if (!m_binder->OpenForRead())
        return Refuse(Reason::ProjectIndexUnreadable, m_binder->GetPath());
    m_leadIns = std::make_unique<CLeadInTable>(m_hfsPath, m_files);
    const auto measure = MeasureChain(*m_binder, *m_leadIns, m_song, m_track, m_virtualTrack);
    if (!measure || !m_binder->ReadFirstSegment(m_song, m_track, m_virtualTrack, m_segment))
        return Refuse(Reason::TrackNotRecorded, Describe());
    NoteLongSilence(measure->longestSilence.start, measure->longestSilence.length);
    m_cache.assign(static_cast<std::size_t>(layout.decodedBlockSize) + kDecodeSpill, 0);
    m_ended = false;
    m_endPosition = measure->end;
    if (!EnterSegment(0))
        return Refuse(Reason::DataFileMissing, Describe(), m_file->GetName());
    return std::nullopt;
}

void CTrack::Close()
{
    if (m_binder)
        m_binder->Close();
    if (m_leadIns)
        m_leadIns->Close();
}

bool CTrack::ReadSampleSlow(std::uint8_t* dst)
{
    std::memset(dst, 0, static_cast<std::size_t>(m_bytesPerSample));
    const std::int64_t position = m_position++;
    if (m_ended)
        return false;
    if (position < m_span.first)
        return true;  // silence before the segment or between segments
    const std::int64_t block = (position - m_span.first) / m_samplesPerBlock + 1;
    if (block != m_blockNumber && !LoadBlock(block)) {
        EndEarly(position, WarningKind::TrackEndedShortDataFile, m_file->GetName());
        return false;
    }
    std::memcpy(dst, m_cache.data() + (position - m_blockFirst) * m_bytesPerSample,
                static_cast<std::size_t>(m_bytesPerSample));
    if (position == m_span.last)
        return AdvanceSegment(position + 1);
    return true;
}

bool CTrack::ReadSamples(std::uint8_t* dst, std::size_t count, std::size_t stride)
{
    bool delivered = false;
    std::size_t done = 0;
    while (done < count) {
        std::uint8_t* out = dst + done * stride;
        const auto left = static_cast<std::int64_t>(count - done);
        std::int64_t run = 0;
        if (m_position >= m_windowBegin && m_position < m_windowEnd) {
            run = std::min(left, m_windowEnd - m_position);
            CopyRun(out, stride, static_cast<std::size_t>(run));
            delivered = true;
        } else if (m_ended) {
            run = left;
            FillSilence(out, stride, static_cast<std::size_t>(run));
        } else if (m_position < m_span.first) {
            run = std::min(left, m_span.first - m_position);
            FillSilence(out, stride, static_cast<std::size_t>(run));
            delivered = true;
        } else {
            delivered |= ReadSampleSlow(out);
            ++done;
            continue;
        }
        m_position += run;
        done += static_cast<std::size_t>(run);
    }
    return delivered;
}

namespace {

// Copies `run` samples of a fixed width from a packed source to dst, stride apart.
template <std::size_t Width>
void CopyStrided(std::uint8_t* dst, std::size_t stride, const std::uint8_t* source, std::size_t run)
{
    for (std::size_t i = 0; i < run; ++i, dst += stride, source += Width)
        std::memcpy(dst, source, Width);
}

}  // namespace

void CTrack::CopyRun(std::uint8_t* dst, std::size_t stride, std::size_t run) const
{
    const auto width = static_cast<std::size_t>(m_bytesPerSample);
    const std::uint8_t* source = m_cache.data() + static_cast<std::size_t>(m_position - m_blockFirst) * width;
    if (stride == width)
        std::memcpy(dst, source, run * width);
    else if (width == kShortSampleBytes)
        CopyStrided<kShortSampleBytes>(dst, stride, source, run);
    else
        CopyStrided<kLongSampleBytes>(dst, stride, source, run);
}

void CTrack::FillSilence(std::uint8_t* dst, std::size_t stride, std::size_t run) const
{
    const auto width = static_cast<std::size_t>(m_bytesPerSample);
    if (stride == width) {
        std::memset(dst, 0, run * width);
        return;
    }
    for (std::size_t i = 0; i < run; ++i, dst += stride)
        std::memset(dst, 0, width);
}

bool CTrack::LoadBlock(std::int64_t blockNumber)
{
    m_blockNumber = 0;
    ResetWindow();
    if (blockNumber > std::numeric_limits<std::uint32_t>::max() ||
        !m_file->ReadBlock(static_cast<std::uint32_t>(blockNumber), m_cache.data()))
        return false;
    m_blockNumber = blockNumber;
    m_blockFirst = m_span.first + (blockNumber - 1) * m_samplesPerBlock;
    m_windowBegin = m_blockFirst;
    m_windowEnd = std::min(m_blockFirst + m_samplesPerBlock, m_span.last);
    return true;
}

// Makes the segment in m_segment current from time-line position `current` on. A
// segment with nothing to deliver from there (no length, or lying before `current`)
// is passed over for the next one. False when a data file cannot be opened.
bool CTrack::EnterSegment(std::int64_t current)
{
    for (;;) {
        if (!OpenSegmentFile())
            return false;
        if (m_span.last >= std::max(m_span.first, current))
            return true;
        m_file.reset();
        if (!m_binder->ReadNextSegment(m_segment)) {
            EndChain(current);
            return true;
        }
    }
}

bool CTrack::OpenSegmentFile()
{
    m_file = std::make_unique<CTrackFile>(m_folder, m_song, m_segment, m_files);
    if (!m_file->OpenForRead())
        return false;
    m_bytesPerSample = m_file->GetBytesPerSample();
    m_samplesPerBlock = m_file->GetSamplesPerBlock();
    m_span = SpanOf(m_segment);
    m_blockNumber = 0;
    ResetWindow();
    return true;
}

// Called after the current segment's last sample: moves to the next segment, or ends
// the track. False when the next segment's data file cannot be opened.
bool CTrack::AdvanceSegment(std::int64_t current)
{
    m_file.reset();
    ResetWindow();
    if (!m_binder->ReadNextSegment(m_segment)) {
        EndChain(current);
        return true;
    }
    if (!EnterSegment(current)) {
        std::string name = m_file->GetName();
        m_binder.reset();
        EndEarly(current, WarningKind::TrackEndedMissingDataFile, std::move(name));
        return false;
    }
    return true;
}

CTrack::Span CTrack::SpanOf(const soentry& segment) const
{
    const auto [first, last] = SegmentSpan(*m_leadIns, segment);
    return {first, last};
}

void CTrack::NoteLongSilence(std::int64_t start, std::int64_t length)
{
    // A project without a known rate cannot be exported: there is no hour to measure.
    const auto rate = RateOfCode(m_song.sampleRate);
    if (!rate || length <= kSecondsPerHour * rate->hz)
        return;
    m_silenceWarning =
        Warning{WarningKind::LongSilence, Describe(), TimeText(length, rate->hz) + " from " + TimeText(start, rate->hz)};
}

std::vector<Warning> CTrack::GetWarnings() const
{
    std::vector<Warning> warnings;
    for (const auto* warning : {&m_silenceWarning, &m_endWarning}) {
        if (*warning)
            warnings.push_back(**warning);
    }
    return warnings;
}

void CTrack::EndTrack(std::int64_t endPosition)
{
    m_ended = true;
    m_file.reset();
    m_blockNumber = 0;
    ResetWindow();
    m_endPosition = endPosition;
}

void CTrack::EndEarly(std::int64_t endPosition, WarningKind kind, std::string detail)
{
    EndTrack(endPosition);
    m_endWarning = Warning{kind, Describe(), std::move(detail)};
}

void CTrack::EndChain(std::int64_t endPosition)
{
    if (m_binder->LeftTheFile())
        EndEarly(endPosition, WarningKind::TrackEndedBadLink);
    else
        EndTrack(endPosition);
}

void CTrack::ResetWindow()
{
    m_windowBegin = 0;
    m_windowEnd = 0;
}
