#include "tools/diskwriter/DiskWriter.h"

#include "platform/Files.h"
#include "recorder/TrackFile.h"
#include "recorder/TrackFileName.h"
#include "recorder/WordOrder.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <set>

namespace diskwriter {

namespace {

constexpr int kTracks = static_cast<int>(kTrackCount);
constexpr auto kHeadsPerVirtualTrack = static_cast<int>(kTrackCount);
constexpr std::uint32_t kRecordSlots = 2;  // a project record fills two slots
constexpr std::uint32_t kSlotLimit = 1u << 16;
constexpr std::uint32_t kHeaderSlots = 2;
constexpr std::size_t kBlockBytes = kRecorderBlockSize;
constexpr int kGroupSamples = kSamplesPerGroup;
constexpr int kHalfWordBits = 16;
constexpr int kByteBits = 8;
constexpr int kNibbleBits = 4;
constexpr std::uint32_t kHalfMask = 0xFFFF;
constexpr std::uint32_t kByteMask = 0xFF;
constexpr std::uint32_t kNibbleMask = 0xF;

int BitsOf(std::uint8_t wordLength)
{
    switch (wordLength) {
    case kWordLength20:
        return 20;
    case kWordLength24:
        return 24;
    default:
        return 16;
    }
}

// A group occupies as many bytes in the file as a sample has bits.
std::size_t GroupBytes(int bits)
{
    return static_cast<std::size_t>(bits);
}

std::uint32_t Upper16(std::int32_t value, int bits)
{
    return (static_cast<std::uint32_t>(value) >> (bits - kHalfWordBits)) & kHalfMask;
}

void StoreWord(std::uint32_t word, std::uint8_t* out)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(word >> (kByteBits * i));
}

// Words of upper halves, two samples each, the earlier one in bits 31..16.
void StoreUpperHalves(const std::int32_t* s, int count, int bits, std::uint8_t* out)
{
    for (int k = 0; k < count / 2; ++k)
        StoreWord(Upper16(s[2 * k], bits) << kHalfWordBits | Upper16(s[2 * k + 1], bits), out + 4 * k);
}

void EncodeGroup(const std::int32_t* s, int bits, std::uint8_t* out)
{
    if (bits == 24) {
        constexpr int kHalfSamples = 4;
        constexpr int kHalfBytes = 12;
        for (int half = 0; half < 2; ++half) {
            const std::int32_t* h = s + half * kHalfSamples;
            std::uint8_t* target = out + half * kHalfBytes;
            StoreUpperHalves(h, kHalfSamples, bits, target);
            std::uint32_t lows = 0;
            for (int j = 0; j < kHalfSamples; ++j)
                lows = lows << kByteBits | (static_cast<std::uint32_t>(h[j]) & kByteMask);
            StoreWord(lows, target + 2 * 4);
        }
        return;
    }
    StoreUpperHalves(s, kGroupSamples, bits, out);
    if (bits == 20) {
        std::uint32_t nibbles = 0;
        for (int k = 0; k < kGroupSamples; ++k)
            nibbles = nibbles << kNibbleBits | (static_cast<std::uint32_t>(s[k]) & kNibbleMask);
        StoreWord(nibbles, out + 4 * 4);
    }
}

// The samples of one data file, from a list or a generator.
class SampleSource {
public:
    explicit SampleSource(const SegmentInfo& info) : m_info(info) {}
    std::uint64_t Count() const { return m_info.generator ? m_info.generatedSamples : m_info.samples.size(); }
    std::int32_t At(std::uint64_t i) const
    {
        return m_info.generator ? m_info.generator(i) : m_info.samples[static_cast<std::size_t>(i)];
    }

private:
    const SegmentInfo& m_info;
};

// Fills `block` (zeroed, kBlockBytes) with the groups starting at sample `first`.
void EncodeBlock(const SampleSource& source, std::uint64_t first, int bits, std::uint8_t* block)
{
    const std::size_t groupBytes = GroupBytes(bits);
    const std::uint64_t count = source.Count();
    std::int32_t group[kGroupSamples];
    for (std::size_t offset = 0; offset + groupBytes <= kBlockBytes && first < count; offset += groupBytes) {
        for (int k = 0; k < kGroupSamples; ++k, ++first)
            group[k] = first < count ? source.At(first) : 0;
        EncodeGroup(group, bits, block + offset);
    }
}

std::uint64_t SamplesPerBlock(int bits)
{
    return kBlockBytes / GroupBytes(bits) * kGroupSamples;
}

void Check(const std::ofstream& out)
{
    if (!out)
        throw WriteError();
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(platform::PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    Check(out);
}

// Hands the data file image to `sink` block by block (a generated file may be large):
// whole blocks zero-filled after the last sample, or `size` bytes when asked for.
template <typename Sink>
void ForEachBlock(const SampleSource& source, int bits, std::optional<std::uint64_t> size, Sink sink)
{
    const std::uint64_t perBlock = SamplesPerBlock(bits);
    const std::uint64_t total = size.value_or((source.Count() + perBlock - 1) / perBlock * kBlockBytes);
    std::vector<std::uint8_t> block(kBlockBytes);
    for (std::uint64_t done = 0, first = 0; done < total; done += kBlockBytes, first += perBlock) {
        std::fill(block.begin(), block.end(), 0);
        EncodeBlock(source, first, bits, block.data());
        sink(block.data(), static_cast<std::size_t>(std::min<std::uint64_t>(kBlockBytes, total - done)));
    }
}

void WriteDataFile(const std::string& path, const SegmentInfo& info, int bits)
{
    std::ofstream out(platform::PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    ForEachBlock(SampleSource(info), bits, info.fileBytes, [&out](const std::uint8_t* bytes, std::size_t count) {
        out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(count));
        Check(out);
    });
    out.close();
    Check(out);
}

class SlotPlan {
public:
    void Claim(std::uint32_t first, std::uint32_t count)
    {
        if (first + count > kSlotLimit)
            throw DescriptionError();
        for (std::uint32_t slot = first; slot < first + count; ++slot) {
            if (!m_used.insert(slot).second)
                throw DescriptionError();
        }
    }
    std::uint16_t ClaimNext()
    {
        const std::uint32_t slot = m_used.empty() ? 0 : *m_used.rbegin() + 1;
        Claim(slot, 1);
        return static_cast<std::uint16_t>(slot);
    }
    std::uint32_t End() const { return m_used.empty() ? 0 : *m_used.rbegin() + 1; }

private:
    std::set<std::uint32_t> m_used;
};

void PutRecord(std::vector<std::uint8_t>& image, std::uint32_t slot, const auto& record)
{
    wordorder::Encode(record, image.data() + std::size_t{slot} * kSlotSize);
}

}  // namespace

Project& Project::AddSegment(SegmentInfo segment)
{
    if (segment.track < 1 || segment.track > kTracks || segment.virtualTrack < 1 ||
        segment.virtualTrack > m_info.virtualTracks)
        throw DescriptionError();
    m_chains[{segment.track, segment.virtualTrack}].push_back(std::move(segment));
    return *this;
}

Project& Project::SetHeadLink(int track, int virtualTrack, std::uint16_t link)
{
    m_headLinks[{track, virtualTrack}] = link;
    return *this;
}

std::optional<std::uint16_t> Project::HeadLink(int track, int virtualTrack) const
{
    const auto found = m_headLinks.find({track, virtualTrack});
    if (found == m_headLinks.end())
        return std::nullopt;
    return found->second;
}

std::uint16_t Project::HeadSlot(int track, int virtualTrack) const
{
    return static_cast<std::uint16_t>(m_info.slot + kRecordSlots + kHeadsPerVirtualTrack * (virtualTrack - 1) +
                                      (track - 1));
}

sobinder Project::Record() const
{
    sobinder record{};
    record.nextSong = m_disk->NextSongOf(*this);
    record.slot = m_info.slot;
    m_info.name.copy(record.songName, kSongNameSize);  // NUL-padded by the zeroed record
    record.projectNumber = m_info.number;
    record.sampleRate = m_info.rate;
    record.wordLength = m_info.wordLength;
    return record;
}

Project& Disk::AddProject(ProjectInfo info)
{
    return m_projects.emplace_back(*this, std::move(info));
}

Disk& Disk::SetFirstSong(std::uint16_t slot)
{
    m_firstSong = slot;
    return *this;
}

Disk& Disk::SetFnbLength(std::uint64_t bytes)
{
    m_fnbLength = bytes;
    return *this;
}

Disk& Disk::OmitHfs()
{
    m_omitHfs = true;
    return *this;
}

Disk& Disk::SetFnbText(std::string text)
{
    m_fnbText = std::move(text);
    return *this;
}

Disk& Disk::SetNameCase(NameCase nameCase)
{
    m_nameCase = nameCase;
    return *this;
}

std::uint16_t Disk::NextSongOf(const Project& project) const
{
    if (project.Info().nextSong)
        return *project.Info().nextSong;
    for (std::size_t i = 0; i < m_projects.size(); ++i) {
        if (&m_projects[i] == &project)
            return m_projects[(i + 1) % m_projects.size()].Info().slot;
    }
    return project.Info().slot;
}

std::string Disk::Spelt(const std::string& recorderName) const
{
    std::string name = recorderName;
    if (m_nameCase == NameCase::Recorder)
        return name;
    for (char& c : name)
        c = static_cast<char>(m_nameCase == NameCase::Upper ? std::toupper(static_cast<unsigned char>(c))
                                                           : std::tolower(static_cast<unsigned char>(c)));
    return name;
}

std::string Disk::DataFileName(const Project& project, std::uint16_t serial) const
{
    return Spelt(MakeTrackFileName(project.Info().number, serial));
}

namespace {

// Links of one chain as the reader expects them: each segment to the next; the last
// one to the head when it is the only one (the first segment carries the head's slot),
// otherwise to itself. An asked-for link replaces the computed one.
void LinkChain(PlacedSegment* chain, std::size_t count, std::uint16_t head)
{
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t end = i == 0 ? head : chain[i].slot;
        chain[i].link = chain[i].info->link.value_or(i + 1 < count ? chain[i + 1].slot : end);
    }
}

void AssignHfsIndexes(std::vector<PlacedSegment>& placed)
{
    std::set<std::int16_t> used;
    for (const PlacedSegment& segment : placed) {
        if (segment.info->hfsIndex)
            used.insert(*segment.info->hfsIndex);
    }
    std::int16_t next = 0;
    for (PlacedSegment& segment : placed) {
        if (segment.info->hfsIndex) {
            segment.hfsIndex = *segment.info->hfsIndex;
            continue;
        }
        while (used.count(next))
            ++next;
        segment.hfsIndex = next++;
    }
}

std::vector<PlacedSegment> PlaceSegments(const std::deque<Project>& projects, SlotPlan& plan)
{
    for (const Project& project : projects) {
        for (const auto& [key, chain] : project.Chains()) {
            for (const SegmentInfo& info : chain) {
                if (info.slot)
                    plan.Claim(*info.slot, 1);
            }
        }
    }
    std::vector<PlacedSegment> placed;
    for (const Project& project : projects) {
        for (const auto& [key, chain] : project.Chains()) {
            const std::size_t first = placed.size();
            for (const SegmentInfo& info : chain)
                placed.push_back({&project, &info, info.slot ? *info.slot : plan.ClaimNext(), 0, 0});
            LinkChain(placed.data() + first, chain.size(), project.HeadSlot(key.first, key.second));
        }
    }
    AssignHfsIndexes(placed);
    return placed;
}

std::uint16_t FirstSegmentSlot(const std::vector<PlacedSegment>& placed, const Project& project, int track,
                               int virtualTrack)
{
    for (const PlacedSegment& segment : placed) {
        if (segment.project == &project && segment.info->track == track && segment.info->virtualTrack == virtualTrack)
            return segment.slot;
    }
    return project.HeadSlot(track, virtualTrack);
}

void PutHeads(std::vector<std::uint8_t>& image, const std::vector<PlacedSegment>& placed, const Project& project)
{
    for (int virtualTrack = 1; virtualTrack <= project.Info().virtualTracks; ++virtualTrack) {
        for (int track = 1; track <= kTracks; ++track) {
            soentry head{};
            head.link = project.HeadLink(track, virtualTrack)
                            .value_or(FirstSegmentSlot(placed, project, track, virtualTrack));
            PutRecord(image, project.HeadSlot(track, virtualTrack), head);
        }
    }
}

void PutSegments(std::vector<std::uint8_t>& image, const std::vector<PlacedSegment>& placed)
{
    for (const PlacedSegment& segment : placed) {
        soentry entry{};
        entry.link = segment.link;
        entry.hfsIndex = segment.hfsIndex;
        entry.startGroup = segment.info->startGroup;
        entry.lengthGroups = segment.info->lengthGroups;
        entry.fileSerial = segment.info->serial;
        PutRecord(image, segment.slot, entry);
    }
}

std::vector<std::uint8_t> HfsImage(const std::vector<PlacedSegment>& placed)
{
    std::int64_t count = 0;
    for (const PlacedSegment& segment : placed)
        count = std::max<std::int64_t>(count, segment.hfsIndex + 1);
    std::vector<std::uint8_t> image(static_cast<std::size_t>(count) * kHfsRecordSize);
    for (const PlacedSegment& segment : placed) {
        if (segment.hfsIndex < 0)
            continue;
        sohfs record{};
        record.leadInGroups = segment.info->leadIn;
        wordorder::Encode(record, image.data() + static_cast<std::size_t>(segment.hfsIndex) * kHfsRecordSize);
    }
    return image;
}

}  // namespace

std::vector<std::uint8_t> Disk::IndexImage(const std::vector<PlacedSegment>& placed, std::uint32_t slots) const
{
    std::vector<std::uint8_t> image(std::size_t{slots} * kSlotSize);
    soheader header{};
    header.firstSong = m_firstSong.value_or(m_projects.empty() ? 0 : m_projects.front().Info().slot);
    PutRecord(image, 0, header);
    for (const Project& project : m_projects) {
        sobinder record = project.Record();
        record.slot = 0;  // the reader fills in the slot it read the record from
        PutRecord(image, project.Info().slot, record);
        PutHeads(image, placed, project);
    }
    PutSegments(image, placed);
    if (m_fnbLength)
        image.resize(static_cast<std::size_t>(*m_fnbLength));
    return image;
}

void Disk::Write(const std::string& folder) const
{
    SlotPlan plan;
    plan.Claim(0, kHeaderSlots);
    for (const Project& project : m_projects)
        plan.Claim(project.Info().slot,
                   kRecordSlots + static_cast<std::uint32_t>(kHeadsPerVirtualTrack * project.Info().virtualTracks));
    const std::vector<PlacedSegment> segments = PlaceSegments(m_projects, plan);
    WriteFile(platform::JoinPath(folder, Spelt(kBinderFileName)), IndexImage(segments, plan.End()));
    if (!m_omitHfs)
        WriteFile(platform::JoinPath(folder, Spelt(kHfsFileName)), HfsImage(segments));
    if (m_fnbText)
        WriteFile(platform::JoinPath(folder, Spelt(kFnbTextFileName)),
                  std::vector<std::uint8_t>(m_fnbText->begin(), m_fnbText->end()));
    for (const PlacedSegment& segment : segments) {
        if (!segment.info->missingFile)
            WriteDataFile(platform::JoinPath(folder, DataFileName(*segment.project, segment.info->serial)),
                          *segment.info, BitsOf(segment.project->Info().wordLength));
    }
}

std::vector<std::uint8_t> DecodedSample(std::int32_t value, std::uint8_t wordLength)
{
    const int bits = BitsOf(wordLength);
    const auto word = static_cast<std::uint32_t>(value) << (32 - bits);  // left-justified
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(word >> 24), static_cast<std::uint8_t>(word >> 16)};
    if (bits > kHalfWordBits)
        bytes.push_back(static_cast<std::uint8_t>(word >> kByteBits));
    return bytes;
}

std::vector<std::uint8_t> EncodeTrackData(const std::vector<std::int32_t>& samples, std::uint8_t wordLength)
{
    SegmentInfo info;
    info.samples = samples;
    std::vector<std::uint8_t> image;
    ForEachBlock(SampleSource(info), BitsOf(wordLength), std::nullopt,
                 [&image](const std::uint8_t* bytes, std::size_t count) { image.insert(image.end(), bytes, bytes + count); });
    return image;
}

}  // namespace diskwriter
