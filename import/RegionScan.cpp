#include "import/RegionScan.h"

#include <cmath>
#include <cstring>
#include <optional>

namespace {

constexpr double kEdgeSeconds = 0.1;
constexpr unsigned kBytesPer16BitSample = 2;
constexpr unsigned kHalfBytesPer20BitSample = 5;  // 2.5 bytes
constexpr unsigned kBytesPer24BitSample = 3;

// Walks the unit flags and collects regions; a region is open while its end is
// not yet known.
class RegionBuilder {
public:
    RegionBuilder(const std::vector<std::uint8_t>& flags, std::uint32_t groupsPerBlock)
        : m_flags(flags), m_groupsPerBlock(groupsPerBlock)
    {
    }

    std::vector<SoundRegion> Build()
    {
        if (m_flags.empty())
            return {};
        const std::size_t last = m_flags.size() - 1;
        for (std::size_t w = 0; w <= last; ++w) {
            if (m_flags[w] == kUnitSilent)
                VisitSilentUnit(w, last);
            else
                VisitSoundUnit(w, last);
        }
        return std::move(m_regions);
    }

private:
    // A silent unit joins a region when sound touches the boundary it shares
    // with a neighbour: the previous unit's tail or the next unit's head.
    void VisitSilentUnit(std::size_t w, std::size_t last)
    {
        if (w == 0)
            return;
        if ((m_flags[w - 1] & kTailSilent) && m_open)
            Close(w);
        if (w == last) {
            if (m_open)
                Close(w + 1);
            return;
        }
        const bool nextHeadSilent = m_flags[w + 1] & kHeadSilent;
        if (!nextHeadSilent && !m_open)
            Open(w);
        else if (nextHeadSilent && m_open)
            Close(w + 1);
    }

    // The last unit's region reaches one unit beyond the data when its tail holds sound.
    void VisitSoundUnit(std::size_t w, std::size_t last)
    {
        if (!m_open)
            Open(w);
        if (w == last)
            Close((m_flags[w] & kTailSilent) ? w + 1 : w + 2);
    }

    void Open(std::size_t unit)
    {
        m_open = SoundRegion{GroupAt(unit), 0, 0};
    }

    // Closes the open region just before unit `endUnit`.
    void Close(std::size_t endUnit)
    {
        m_open->endGroup = GroupAt(endUnit) - 1;
        m_regions.push_back(*m_open);
        m_open.reset();
    }

    std::uint32_t GroupAt(std::size_t unit) const
    {
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(unit) * m_groupsPerBlock);
    }

    const std::vector<std::uint8_t>& m_flags;
    const std::uint32_t m_groupsPerBlock;
    std::optional<SoundRegion> m_open;
    std::vector<SoundRegion> m_regions;
};

}  // namespace

std::size_t GetEdgeSize(std::uint32_t sampleRate, unsigned bitsPerSample)
{
    double bytesPerSecond = 0;
    if (bitsPerSample == 16)
        bytesPerSecond = static_cast<double>(sampleRate) * kBytesPer16BitSample;
    else if (bitsPerSample == 20)
        bytesPerSecond = static_cast<double>(sampleRate) * kHalfBytesPer20BitSample / 2;
    else
        bytesPerSecond = static_cast<double>(sampleRate) * kBytesPer24BitSample;
    return static_cast<std::size_t>(std::ceil(bytesPerSecond * kEdgeSeconds));
}

bool IsSilent(const std::uint8_t* bytes, std::size_t count)
{
    // Every byte equals its successor and the first is 0: one fast memcmp.
    return count == 0 || (bytes[0] == 0 && std::memcmp(bytes, bytes + 1, count - 1) == 0);
}

std::uint8_t UnitFlags(const std::uint8_t* unit, std::size_t bytesRead, std::size_t unitSize, std::size_t edgeSize)
{
    const std::size_t tailStart = unitSize - edgeSize;
    std::uint8_t flags = 0;
    if (bytesRead == unitSize) {
        if (IsSilent(unit, edgeSize))
            flags |= kHeadSilent;
        if (IsSilent(unit + edgeSize, tailStart - edgeSize))
            flags |= kMiddleSilent;
        if (IsSilent(unit + tailStart, edgeSize))
            flags |= kTailSilent;
        return flags;
    }
    // A partial unit: its head counts as silent only when all bytes read are,
    // and its tail always is (the zero fill).
    if (IsSilent(unit, bytesRead))
        flags |= kHeadSilent;
    flags |= kTailSilent;
    if (bytesRead <= edgeSize)
        flags |= kMiddleSilent;
    else if (bytesRead > tailStart)
        flags |= IsSilent(unit + edgeSize, tailStart - edgeSize) ? kMiddleSilent : 0;
    else
        flags |= IsSilent(unit + edgeSize, bytesRead - edgeSize) ? kMiddleSilent : 0;
    return flags;
}

std::vector<SoundRegion> BuildRegions(const std::vector<std::uint8_t>& flags, std::uint32_t groupsPerBlock)
{
    return RegionBuilder(flags, groupsPerBlock).Build();
}

std::uint64_t ProgressStepsIn(std::uint64_t first, std::uint64_t last)
{
    return last / kGroupsPerProgressStep + 1 - (first + kGroupsPerProgressStep - 1) / kGroupsPerProgressStep;
}
