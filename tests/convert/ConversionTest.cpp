// The conversion in front of the import: sources of every kind through ConvertChannel,
// checked against libsoxr called directly, against sox, and for exactness where no
// rounding is needed; and the stage's scratch files, gone however a run ends.

#include "app/Document.h"
#include "convert/ImportConversion.h"
#include "convert/SourceConversion.h"
#include "platform/Files.h"
#include "platform/ForwardingFileSystem.h"
#include "tests/support/SoundSources.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

using convert::Channel;
using convert::TargetFormat;
using testsupport::TempFolder;

namespace {

using testsupport::kToneSilentShare;
using testsupport::ToneFrames;

void WriteSource(const std::string& path, int format, int rate, int channels, const std::vector<double>& samples)
{
    ASSERT_TRUE(testsupport::WriteSoundFile(path, format, rate, channels, samples)) << sf_strerror(nullptr);
}

// Every channel's samples as libsndfile reads them (scaled to 1.0), and the format.
std::vector<double> ReadAll(const std::string& path, SF_INFO& info)
{
    info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return {};
    std::vector<double> samples(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_double(file, samples.data(), info.frames);
    sf_close(file);
    return samples;
}

// The converted file's samples as integers of its word length.
std::vector<std::int32_t> ReadWords(const std::string& path, unsigned bits, SF_INFO& info)
{
    info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return {};
    std::vector<int> words(static_cast<std::size_t>(info.frames));
    sf_readf_int(file, words.data(), info.frames);
    sf_close(file);
    // libsndfile left-justifies into 32 bits; a 20-bit file's low four bits are zero.
    std::vector<std::int32_t> values;
    for (const int word : words)
        values.push_back(word >> (32 - static_cast<int>(bits)));
    return values;
}

std::vector<double> ChannelOf(const std::vector<double>& frames, int channels, Channel channel)
{
    std::vector<double> out;
    for (std::size_t i = 0; i < frames.size(); i += static_cast<std::size_t>(channels)) {
        if (channel == Channel::Mix)
            out.push_back((frames[i] + frames[i + 1]) * 0.5);
        else
            out.push_back(frames[i + (channel == Channel::Right ? 1 : 0)]);
    }
    return out;
}

// libsoxr on its own with the conversion's recipe, in one call.
std::vector<double> SoxrDirect(const std::vector<double>& input, double from, double to, std::size_t frames)
{
    std::vector<double> output(frames);
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT64_I, SOXR_FLOAT64_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    std::size_t made = 0;
    EXPECT_EQ(soxr_oneshot(from, to, 1, input.data(), input.size(), nullptr, output.data(), output.size(), &made, &io,
                           &quality, nullptr),
              nullptr);
    output.resize(made);
    return output;
}

// Rounds to the word length without dither, clipping at full scale.
std::vector<std::int32_t> Rounded(const std::vector<double>& samples, unsigned bits)
{
    const double scale = std::ldexp(1.0, static_cast<int>(bits) - 1);
    std::vector<std::int32_t> words;
    for (const double sample : samples)
        words.push_back(static_cast<std::int32_t>(std::clamp(std::floor(std::clamp(sample, -1.0, 1.0) * scale + 0.5),
                                                             -scale, scale - 1.0)));
    return words;
}

struct SourceCase {
    const char* name;
    const char* file;
    int format;
    int rate;
    int channels;
    double level;
    Channel channel;
    TargetFormat target;
    bool exact;  // no rounding: the words are the source's, shifted
};

constexpr TargetFormat kPlain48k24{48000, 24, false};

const SourceCase kSources[] = {
    {"96 kHz stereo float, left", "a.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 96000, 2, 0.5, Channel::Left, kPlain48k24, false},
    {"96 kHz stereo float, mix", "b.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 96000, 2, 0.5, Channel::Mix, kPlain48k24, false},
    {"22.05 kHz mono 8 bit to 44.1 kHz 16", "c.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 22050, 1, 0.5, Channel::Only,
     {44100, 16, false}, false},
    {"44.1 kHz mono FLAC 24 to 48 kHz 20", "d.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 44100, 1, 0.5, Channel::Only,
     {48000, 20, false}, false},
    {"48 kHz stereo AIFF 24, right, same rate", "e.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 48000, 2, 0.5,
     Channel::Right, kPlain48k24, true},
    {"48 kHz mono 16 to 24 bit", "f.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, 0.5, Channel::Only, kPlain48k24,
     true},
    {"32 kHz stereo W64 16, mix to 20 bit", "g.w64", SF_FORMAT_W64 | SF_FORMAT_PCM_16, 32000, 2, 0.5, Channel::Mix,
     {32000, 20, false}, true},
    {"48 kHz mono 32-bit integer to 24", "h.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 48000, 1, 0.5, Channel::Only,
     kPlain48k24, false},
    {"48 kHz CAF double beyond full scale", "i.caf", SF_FORMAT_CAF | SF_FORMAT_DOUBLE, 48000, 1, 1.5, Channel::Only,
     kPlain48k24, false},
    {"88.2 kHz RF64 float to 44.1 kHz 16", "j.rf64", SF_FORMAT_RF64 | SF_FORMAT_FLOAT, 88200, 2, 0.5, Channel::Left,
     {44100, 16, false}, false},
};

class Conversion : public testing::Test {
protected:
    std::string Convert(const SourceCase& c, const TargetFormat& target, const std::string& out,
                        convert::ConversionOutcome& outcome)
    {
        const auto refusal = convert::ConvertChannel(platform::RealFileSystem(), m_folder.File(c.file), c.channel,
                                                     target, m_folder.File(out), c.name, {}, outcome);
        EXPECT_FALSE(refusal) << c.name << ": " << (refusal ? Explain(*refusal) : "");
        return m_folder.File(out);
    }

    TempFolder m_folder;
};

}  // namespace

TEST_F(Conversion, EverySourceKindMatchesLibsoxrOrTheExactWords)
{
    ASSERT_TRUE(convert::ConversionAvailable());
    for (const SourceCase& c : kSources) {
        SCOPED_TRACE(c.name);
        WriteSource(m_folder.File(c.file), c.format, c.rate, c.channels, ToneFrames(c.rate, c.channels, c.level));
        const auto probed = convert::ProbeSource(platform::RealFileSystem(), m_folder.File(c.file));
        ASSERT_TRUE(probed);
        EXPECT_EQ(probed->channels, c.channels);
        EXPECT_EQ(probed->rate, static_cast<std::uint32_t>(c.rate));
        EXPECT_EQ(convert::IsExact(*probed, c.channel, c.target), c.exact);

        convert::ConversionOutcome outcome;
        SF_INFO written{};
        const auto words = ReadWords(Convert(c, c.target, "out.wav", outcome), c.target.bits, written);
        EXPECT_EQ(written.channels, 1);
        EXPECT_EQ(written.samplerate, static_cast<int>(c.target.rate));

        SF_INFO source{};
        const auto channel = ChannelOf(ReadAll(m_folder.File(c.file), source), c.channels, c.channel);
        const std::vector<double> expected =
            static_cast<std::uint32_t>(c.rate) == c.target.rate
                ? channel
                : SoxrDirect(channel, c.rate, c.target.rate, convert::ConvertedFrames(*probed, c.target));
        EXPECT_EQ(words, Rounded(expected, c.target.bits));
        EXPECT_EQ(outcome.frames, words.size());
        EXPECT_EQ(outcome.clipped, static_cast<std::uint64_t>(std::count_if(expected.begin(), expected.end(),
                                                                           [](double s) { return std::abs(s) > 1.0; })));
        if (c.exact) {
            // Scaled back, every word is the source's sample itself.
            const double scale = std::ldexp(1.0, static_cast<int>(c.target.bits) - 1);
            for (std::size_t i = 0; i < words.size(); ++i)
                ASSERT_EQ(words[i] / scale, channel[i]) << i;
        }
        std::filesystem::remove(m_folder.File("out.wav"));
    }
}

// A header claiming a rate no recording has counts as damaged: resampling it would
// take memory without bound.
TEST_F(Conversion, RatesBeyondTheReadRangeAreNotRead)
{
    constexpr int kFrames = 16;
    for (const int rate : {999, 1000, 768000, 768001}) {
        SCOPED_TRACE(rate);
        WriteSource(m_folder.File("odd.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, rate, 1, std::vector<double>(kFrames));
        EXPECT_EQ(convert::ProbeSource(platform::RealFileSystem(), m_folder.File("odd.wav")).has_value(),
                  rate == 1000 || rate == 768000);
        std::filesystem::remove(m_folder.File("odd.wav"));
    }
}

TEST_F(Conversion, DitherIsRepeatableAndLeavesDigitalSilenceSilent)
{
    // The silent first quarter stays zero: wholly at the same rate, and short of the
    // resampler's reach before the tone (its linear-phase filter rings ahead of it).
    struct Case {
        const SourceCase& source;
        double silentShare;
    };
    for (const Case& k : {Case{kSources[0], kToneSilentShare * 0.8}, Case{kSources[7], kToneSilentShare}}) {
        const SourceCase& c = k.source;
        SCOPED_TRACE(c.name);
        WriteSource(m_folder.File(c.file), c.format, c.rate, c.channels, ToneFrames(c.rate, c.channels, c.level));
        TargetFormat dithered = c.target;
        dithered.dither = true;
        convert::ConversionOutcome outcome;
        SF_INFO info{};
        const auto first = ReadWords(Convert(c, dithered, "1.wav", outcome), dithered.bits, info);
        const auto again = ReadWords(Convert(c, dithered, "2.wav", outcome), dithered.bits, info);
        const auto plain = ReadWords(Convert(c, c.target, "3.wav", outcome), c.target.bits, info);
        EXPECT_EQ(first, again);
        EXPECT_NE(first, plain);
        const auto silent = static_cast<std::ptrdiff_t>(static_cast<double>(first.size()) * k.silentShare);
        EXPECT_TRUE(std::all_of(first.begin(), first.begin() + silent, [](std::int32_t word) { return word == 0; }));
        // Dither of one step either way: never more than two steps from the plain rounding.
        for (std::size_t i = 0; i < first.size(); ++i)
            ASSERT_LE(std::abs(first[i] - plain[i]), 2) << i;
        for (const char* name : {"1.wav", "2.wav", "3.wav"})
            std::filesystem::remove(m_folder.File(name));
    }
}

TEST_F(Conversion, ResamplingAgreesWithSoxWithinThreeStepsAt24Bit)
{
    // sox's own very-high-quality rate (a filter of its own, not libsoxr's), without
    // dither, to the same format: at most 3 steps of 24 bit apart, where the tone starts
    // and stops abruptly, and the same in 99 % of the samples.
    const SourceCase& c = kSources[0];
    WriteSource(m_folder.File(c.file), c.format, c.rate, c.channels, ToneFrames(c.rate, c.channels, c.level));
    const std::string soxFile = m_folder.File("sox.wav");
    const std::string command = "sox -D '" + m_folder.File(c.file) + "' -b 24 '" + soxFile + "' remix 1 rate -v 48000";
    ASSERT_EQ(std::system(command.c_str()), 0);
    convert::ConversionOutcome outcome;
    SF_INFO info{};
    const auto ours = ReadWords(Convert(c, c.target, "ours.wav", outcome), 24, info);
    const auto theirs = ReadWords(soxFile, 24, info);
    ASSERT_EQ(ours.size(), theirs.size());
    constexpr int kBound = 3;
    constexpr double kSameShare = 0.99;
    std::size_t same = 0;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        ASSERT_LE(std::abs(ours[i] - theirs[i]), kBound) << i;
        same += ours[i] == theirs[i] ? 1 : 0;
    }
    EXPECT_GE(static_cast<double>(same), kSameShare * static_cast<double>(ours.size()));
}

TEST_F(Conversion, TheStageLeavesNoScratchFileHoweverItEnds)
{
    const SourceCase& c = kSources[0];
    WriteSource(m_folder.File(c.file), c.format, c.rate, c.channels, ToneFrames(c.rate, c.channels, c.level));
    convert::SourceRequests sources;
    sources[2] = convert::SourceRequest{"a.wav", m_folder.File(c.file), Channel::Left};
    struct Ending {
        const char* name;
        bool stop;
    };
    // The system's temporary folder, for this test one of its own.
    TempFolder temporary;
    ASSERT_EQ(setenv("TMPDIR", temporary.Path().c_str(), 1), 0);
    for (const Ending ending : {Ending{"finished", false}, Ending{"stopped", true}}) {
        SCOPED_TRACE(ending.name);
        {
            convert::ConversionStage stage;
            ASSERT_FALSE(stage.Plan(sources, {}));
            ASSERT_TRUE(stage.Converts());
            std::array<std::string, kTrackCount> names;
            std::vector<Warning> warnings;
            const auto refusal = stage.Run([&] { return ending.stop; }, names, warnings);
            EXPECT_EQ(refusal.has_value(), ending.stop);
            if (refusal) {
                EXPECT_EQ(refusal->reason, Reason::Interrupted);
                EXPECT_EQ(refusal->subject, "a.wav (left channel)");
            }
            EXPECT_FALSE(std::filesystem::is_empty(temporary.Path()));
            if (!refusal) {
                EXPECT_EQ(platform::FolderPart(platform::FolderPart(names[2])), temporary.Path());
                // What the import says of the converted file is said of the user's.
                Refusal told{MessageId::ConvertFailed, Reason::SourceReadFailed, names[2], {}};
                stage.Retell(told);
                EXPECT_EQ(told.subject, "a.wav (left channel)");
            }
        }
        EXPECT_TRUE(std::filesystem::is_empty(temporary.Path()));
    }
    unsetenv("TMPDIR");
}

TEST(ConversionPlan, TheFormatFollowsTheFirstSourceOrTheRequest)
{
    struct Case {
        std::uint32_t sourceRate;
        unsigned bits;
        bool floating;
        std::uint32_t rate;
        unsigned expectedBits;
    };
    const Case cases[] = {
        {96000, 32, true, 48000, 24},  {22050, 8, false, 44100, 24}, {176400, 24, false, 44100, 24},
        {32000, 16, false, 32000, 16}, {11025, 20, false, 44100, 20}, {8000, 16, false, 48000, 16},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(convert::DefaultRate(c.sourceRate), c.rate) << c.sourceRate;
        EXPECT_EQ(convert::DefaultBits({c.sourceRate, 1, 0, c.bits, c.floating}), c.expectedBits) << c.sourceRate;
    }
}

namespace {

// The real file system, with the free space of the disk folder and of the temporary
// folder as a test sets them.
class RoomyFileSystem : public platform::ForwardingFileSystem {
public:
    RoomyFileSystem(std::string temporary, std::uint64_t diskFree, std::uint64_t temporaryFree)
        : ForwardingFileSystem(platform::RealFileSystem()),
          m_temporary(std::move(temporary)),
          m_diskFree(diskFree),
          m_temporaryFree(temporaryFree)
    {
    }
    std::string TemporaryFolder() override { return m_temporary; }
    std::optional<std::uint64_t> FreeSpace(const std::string& folder) override
    {
        return folder.rfind(m_temporary, 0) == 0 ? m_temporaryFree : m_diskFree;
    }

private:
    std::string m_temporary;
    std::uint64_t m_diskFree;
    std::uint64_t m_temporaryFree;
};

}  // namespace

TEST_F(Conversion, TheRoomCheckCountsTheConvertedSizesOnTheDiskAndInTheTemporaryFolder)
{
    const SourceCase& c = kSources[0];
    WriteSource(m_folder.File(c.file), c.format, c.rate, c.channels, ToneFrames(c.rate, c.channels, c.level));
    TempFolder disk;
    TempFolder temporary;
    // Half a second at 48 kHz in 3 bytes, and the header: 72044 bytes.
    constexpr std::uint64_t kConverted = 44 + 24000 * 3;
    constexpr std::uint64_t kPlenty = 1u << 30;
    struct Case {
        const char* name;
        std::uint64_t diskFree;
        std::uint64_t temporaryFree;
        std::optional<std::string> refusedFolder;
    };
    const Case cases[] = {
        {"room for both", kPlenty, kPlenty, std::nullopt},
        {"just room for the converted size", kConverted + kFreeSpaceReserve + 1, kConverted + kFreeSpaceReserve + 1,
         std::nullopt},
        {"the disk lacks it", kConverted + kFreeSpaceReserve, kPlenty, disk.Path()},
        {"the temporary folder lacks it", kPlenty, kConverted + kFreeSpaceReserve, temporary.Path()},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        RoomyFileSystem files(temporary.Path(), k.diskFree, k.temporaryFree);
        convert::ConversionStage stage(files);
        convert::SourceRequests sources;
        sources[0] = convert::SourceRequest{"a.wav", m_folder.File(c.file), Channel::Left};
        ASSERT_FALSE(stage.Plan(sources, {}));
        COVFtoWAVEDoc doc;
        doc.SetMoFolder(disk.Path());
        const auto refusal = stage.CheckRoom(doc);
        ASSERT_EQ(refusal.has_value(), k.refusedFolder.has_value());
        if (refusal) {
            EXPECT_EQ(refusal->id, MessageId::NoDiskSpace);
            EXPECT_EQ(refusal->subject, *k.refusedFolder);
        }
    }
}
