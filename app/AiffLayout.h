#pragma once
// The AIFF and AIFF-C containers: their chunk ids, the fields of the "COMM" and
// "SSND" chunks, the AIFF-C compression types, and the 54-byte header the export
// writes: "FORM", "AIFF", an 18-byte "COMM" chunk, then the "SSND" chunk with its
// offset and block size fields. All numbers are big-endian.

#include "app/ChunkLayout.h"

#include <cstddef>
#include <cstdint>

namespace aiff {

inline constexpr const char* kFormId = "FORM";
inline constexpr const char* kAiffFormType = "AIFF";
inline constexpr const char* kAiffcFormType = "AIFC";
inline constexpr const char* kCommonId = "COMM";
inline constexpr const char* kSoundDataId = "SSND";

// The fields of the "COMM" chunk, from the start of its data: channels, frames,
// sample size and the 10-byte extended-precision rate.
inline constexpr std::size_t kChannelsOffset = 0;
inline constexpr std::size_t kFramesOffset = 2;
inline constexpr std::size_t kSampleSizeOffset = 6;
inline constexpr std::size_t kRateOffset = 8;
inline constexpr std::size_t kCommonSize = 18;
// An AIFF-C "COMM" chunk holds its compression type after the rate.
inline constexpr std::size_t kCompressionTypeOffset = kCommonSize;
inline constexpr std::size_t kAiffcCommonSize = kCompressionTypeOffset + chunk::kIdSize;
// The compression types that are plain PCM: big-endian, and little-endian.
inline constexpr const char* kCompressionNone = "NONE";
inline constexpr const char* kCompressionSwapped = "sowt";
// Floating-point samples, in either letter case as writers spell them.
inline constexpr const char* kFloatTypes[] = {"fl32", "FL32", "fl64", "FL64"};

// The fields of the "SSND" chunk in front of the samples: the offset of the first
// sample after them, and the block size. The chunk size counts them.
inline constexpr std::size_t kSampleOffsetOffset = 0;
inline constexpr std::size_t kBlockSizeOffset = 4;
inline constexpr std::size_t kSoundDataFieldsSize = 8;

// The header the export writes, from the start of the file.
inline constexpr std::size_t kCommonChunkAt = chunk::kFormHeaderSize;
inline constexpr std::size_t kCommonFieldsAt = kCommonChunkAt + chunk::kHeaderSize;
inline constexpr std::size_t kSoundDataChunkAt = kCommonFieldsAt + kCommonSize;
inline constexpr std::size_t kHeaderSize = kSoundDataChunkAt + chunk::kHeaderSize + kSoundDataFieldsSize;

}  // namespace aiff
