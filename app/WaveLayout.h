#pragma once
// The RIFF WAVE container: its chunk ids, the fields of the "fmt " chunk (plain and
// extensible), the format tags, and the plain 44-byte header the export writes:
// "RIFF", "WAVE", a 16-byte "fmt " chunk, then the "data" chunk. All numbers are
// little-endian.

#include "app/ChunkLayout.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace wave {

inline constexpr const char* kRiffId = "RIFF";
inline constexpr const char* kWaveFormType = "WAVE";
inline constexpr const char* kFormatId = "fmt ";
inline constexpr const char* kDataId = "data";

// The fields of the "fmt " chunk, from the start of its data.
inline constexpr std::size_t kTagOffset = 0;
inline constexpr std::size_t kChannelsOffset = 2;
inline constexpr std::size_t kRateOffset = 4;
inline constexpr std::size_t kBytesPerSecondOffset = 8;
inline constexpr std::size_t kBlockAlignOffset = 12;
inline constexpr std::size_t kBitsOffset = 14;
inline constexpr std::size_t kPlainFormatSize = 16;
// The extension of the extensible format.
inline constexpr std::size_t kExtensionSizeOffset = 16;
inline constexpr std::size_t kValidBitsOffset = 18;
inline constexpr std::size_t kSubFormatOffset = 24;
inline constexpr std::size_t kExtensibleFormatSize = 40;
inline constexpr std::uint16_t kMinimumExtensionSize = 22;

inline constexpr std::uint16_t kPcmTag = 1;
inline constexpr std::uint16_t kFloatTag = 3;
inline constexpr std::uint16_t kExtensibleTag = 0xFFFE;
// The PCM sub-format, 00000001-0000-0010-8000-00AA00389B71, as stored: its first
// field is the format tag, the rest is the same for every tag.
inline constexpr std::size_t kSubFormatTagSize = 4;
inline constexpr std::array<std::uint8_t, 16> kPcmSubFormat = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                               0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// The header the export writes, from the start of the file.
inline constexpr std::size_t kFormatChunkAt = chunk::kFormHeaderSize;
inline constexpr std::size_t kFormatFieldsAt = kFormatChunkAt + chunk::kHeaderSize;
inline constexpr std::size_t kDataChunkAt = kFormatFieldsAt + kPlainFormatSize;
inline constexpr std::size_t kHeaderSize = kDataChunkAt + chunk::kHeaderSize;

}  // namespace wave
