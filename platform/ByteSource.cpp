#include "platform/ByteSource.h"

#include <algorithm>
#include <cstring>

namespace platform {

bool ByteSource::ReadExactly(std::uint64_t position, void* buffer, std::size_t count)
{
    const auto got = ReadAt(position, buffer, count);
    return got && *got == count;
}

std::optional<std::size_t> MemorySource::ReadAt(std::uint64_t position, void* buffer, std::size_t count)
{
    if (position >= m_bytes.size())
        return 0;
    const auto available = static_cast<std::size_t>(m_bytes.size() - position);
    const std::size_t got = std::min(count, available);
    std::memcpy(buffer, m_bytes.data() + position, got);
    return got;
}

}  // namespace platform
