#pragma once
// How one input of the disk target holds a recorder disk: two 16-bit little-endian
// lengths, then that many bytes of FNB.BIN, that many of HFS.BIN, and the rest as
// data bytes for the track data files. Lengths beyond the input are cut to it.

#include "platform/Endian.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace fuzz {

struct DiskInput {
    std::span<const std::uint8_t> fnb;
    std::span<const std::uint8_t> hfs;
    std::span<const std::uint8_t> data;
};

inline constexpr std::size_t kLengthBytes = 2;
inline constexpr std::size_t kMaxPartLength = 0xFFFF;

inline DiskInput SplitDiskInput(std::span<const std::uint8_t> input)
{
    const auto take = [&input](std::size_t count) {
        const std::span<const std::uint8_t> part = input.first(std::min(count, input.size()));
        input = input.subspan(part.size());
        return part;
    };
    const auto length = [&take] {
        const auto bytes = take(kLengthBytes);
        std::size_t value = 0;
        for (std::size_t i = bytes.size(); i > 0; --i)
            value = value << endian::kBitsPerByte | bytes[i - 1];
        return value;
    };
    const std::size_t fnbLength = length();
    const std::size_t hfsLength = length();
    DiskInput disk;
    disk.fnb = take(fnbLength);
    disk.hfs = take(hfsLength);
    disk.data = input;
    return disk;
}

// The input for a disk; FNB.BIN and HFS.BIN must not be longer than kMaxPartLength.
inline std::vector<std::uint8_t> JoinDiskInput(const std::vector<std::uint8_t>& fnb,
                                               const std::vector<std::uint8_t>& hfs,
                                               const std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> input;
    for (const std::size_t length : {fnb.size(), hfs.size()}) {
        for (std::size_t i = 0; i < kLengthBytes; ++i)
            input.push_back(static_cast<std::uint8_t>(length >> (endian::kBitsPerByte * i)));
    }
    for (const auto* part : {&fnb, &hfs, &data})
        input.insert(input.end(), part->begin(), part->end());
    return input;
}

}  // namespace fuzz
