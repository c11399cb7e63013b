#pragma once
// One track (track number and virtual track) of a recorder project as a plain stream
// of samples on the track's time line, from position 0: silence where nothing is
// recorded, the decoded samples of each segment's data file where it is.

#include "recorder/Errors.h"
#include "platform/FileSystem.h"
#include "recorder/Records.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CBinderFile;
class CLeadInTable;
class CTrackFile;

// The recording of one track and virtual track as its segment chain in FNB.BIN
// describes it: the time-line position after its last sample (lead-ins applied, as
// CTrack::GetEndPosition after Open) and the number of its segments.
// A stretch of the time line that a segment delivers: [first, end).
struct TimeSpan {
    std::int64_t first = 0;
    std::int64_t end = 0;
    bool operator==(const TimeSpan&) const = default;
};

struct TrackExtent {
    std::uint64_t endPosition = 0;
    unsigned segments = 0;
    std::vector<TimeSpan> recorded;  // where its segments deliver samples, in time-line order
};

// Nothing when FNB.BIN in `folder` cannot be read or the track holds no segment. The
// data files are not opened.
std::optional<TrackExtent> MeasureTrack(const std::string& folder, const sobinder& song, int track, int virtualTrack,
                                        platform::FileSystem& files = platform::RealFileSystem());
// The same through an FNB.BIN opened for reading and the folder's lead-in table, for
// callers that measure many tracks; nothing when the track holds no segment.
std::optional<TrackExtent> MeasureTrack(CBinderFile& binder, CLeadInTable& leadIns, const sobinder& song, int track,
                                        int virtualTrack);

// "track 3 (virtual track 2)": how messages name a track.
std::string TrackDescription(int track, int virtualTrack);

// "h:mm:ss" of `samples` at `rate` samples per second, whole seconds down; with
// Milliseconds "h:mm:ss.mmm".
enum class TimePrecision { Seconds, Milliseconds };
std::string TimeText(std::int64_t samples, std::uint32_t rate, TimePrecision precision = TimePrecision::Seconds);

class CTrack {
public:
    // `folder` holds the recorder's files in `files`.
    CTrack(const std::string& folder, const sobinder& song, int track, int virtualTrack,
           platform::FileSystem& files = platform::RealFileSystem());
    virtual ~CTrack();
    CTrack(const CTrack&) = delete;
    CTrack& operator=(const CTrack&) = delete;

    // Prepares reading from position 0. Nothing when the track is ready; why not when
    // FNB.BIN cannot be opened, the track holds no recording, the project's word length
    // is unknown, or the data file of the first segment cannot be opened.
    [[nodiscard]] std::optional<Refusal> Open();

    // Writes one decoded sample (GetBytesPerSample() bytes, big-endian) to `dst` and
    // advances the position by one. True while the track goes on (silence counts);
    // false once it has ended, with zeros in `dst`, and on every later call.
    bool ReadSample(std::uint8_t* dst)
    {
        if (m_position >= m_windowBegin && m_position < m_windowEnd) {
            const std::uint8_t* source =
                m_cache.data() + static_cast<std::size_t>(m_position - m_blockFirst) * m_bytesPerSample;
            if (m_bytesPerSample == kShortSampleBytes)
                std::memcpy(dst, source, kShortSampleBytes);
            else
                std::memcpy(dst, source, kLongSampleBytes);
            ++m_position;
            return true;
        }
        return ReadSampleSlow(dst);
    }

    // Reads `count` samples as `count` calls of ReadSample would, writing sample i at
    // dst + i * stride. Returns true when any of those calls would have returned true.
    // Runs of cached samples and of silence are copied in one go.
    bool ReadSamples(std::uint8_t* dst, std::size_t count, std::size_t stride);

    // Closes FNB.BIN and HFS.BIN.
    void Close();

    int GetTrack() const { return m_track; }
    int GetVirtualTrack() const { return m_virtualTrack; }
    // "track 3 (virtual track 1)", as refusals and warnings name the track.
    std::string Describe() const;
    // 2 for 16-bit projects, 3 for 20 and 24 bit; valid after a successful Open.
    int GetBytesPerSample() const { return m_bytesPerSample; }

    // The time-line position after the track's last sample, for progress display.
    // After Open it is the end that the segment chain in FNB.BIN describes; once the
    // track has ended it is the exact number of positions it delivered (a data file
    // that ends early or cannot be opened ends the track sooner). 0 before Open.
    std::uint64_t GetEndPosition() const { return static_cast<std::uint64_t>(m_endPosition); }

    // Why the track ended before the end its recording should have: a data file shorter
    // than its segment, a later segment's data file that cannot be opened, or a link
    // that leads outside FNB.BIN. Nothing after a normal end, and before the end.
    const std::optional<Warning>& GetEndWarning() const { return m_endWarning; }
    // What the track warns of, in order: more than an hour of silence before or between
    // its recordings (the longest such stretch, known after Open: a damaged segment
    // start can make one), then why it ended early.
    std::vector<Warning> GetWarnings() const;
    // False when the folder holds no HFS.BIN: every lead-in was taken as 0. Valid after Open.
    bool HasLeadInTable() const;

private:
    static constexpr int kShortSampleBytes = 2;
    static constexpr int kLongSampleBytes = 3;

    // Copies `run` cached samples from the current position to dst, stride apart.
    void CopyRun(std::uint8_t* dst, std::size_t stride, std::size_t run) const;
    // Writes `run` silent samples to dst, stride apart.
    void FillSilence(std::uint8_t* dst, std::size_t stride, std::size_t run) const;

    struct Span {
        std::int64_t first;  // position of the segment's first data sample (lead-in applied)
        std::int64_t last;   // position of the segment's last sample
    };

    Refusal Refuse(Reason reason, std::string subject, std::string detail = {});
    bool ReadSampleSlow(std::uint8_t* dst);
    bool LoadBlock(std::int64_t blockNumber);
    bool EnterSegment(std::int64_t current);
    bool OpenSegmentFile();
    bool AdvanceSegment(std::int64_t current);
    Span SpanOf(const soentry& segment) const;
    // Keeps the warning of a silence of `length` samples from `start` that lasts more than an hour.
    void NoteLongSilence(std::int64_t start, std::int64_t length);
    void EndTrack(std::int64_t endPosition);
    void EndEarly(std::int64_t endPosition, WarningKind kind, std::string detail = {});
    // Ends the track where the chain ended: early when its last link left FNB.BIN.
    void EndChain(std::int64_t endPosition);
    void ResetWindow();

    platform::FileSystem& m_files;
    std::unique_ptr<CBinderFile> m_binder;
    std::unique_ptr<CLeadInTable> m_leadIns;
    std::string m_folder;
    std::string m_binderPath;
    std::unique_ptr<CTrackFile> m_file;
    soentry m_segment{};
    sobinder m_song{};
    int m_track;
    int m_virtualTrack;
    std::int64_t m_position = 0;
    int m_bytesPerSample = 0;
    bool m_ended = true;
    std::int64_t m_blockNumber = 0;
    std::int64_t m_blockFirst = 0;
    int m_samplesPerBlock = 0;
    std::vector<std::uint8_t> m_cache;
    Span m_span{0, -1};
    std::string m_hfsPath;
    // Positions in [m_windowBegin, m_windowEnd) are served straight from the cache.
    std::int64_t m_windowBegin = 0;
    std::int64_t m_windowEnd = 0;
    std::int64_t m_endPosition = 0;
    std::optional<Warning> m_endWarning;
    std::optional<Warning> m_silenceWarning;
};
