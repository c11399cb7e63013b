#pragma once
// The silence scan of an imported track: each unit (the PC data of one recorder
// block) gets a flag byte telling which of its head, middle and tail are
// digital silence, and the flags are turned into regions of sound that begin
// and end on block boundaries.

#include "import/PCSoundFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Flag values of a unit; all three together mean the whole unit is silent.
inline constexpr std::uint8_t kHeadSilent = 1;
inline constexpr std::uint8_t kMiddleSilent = 2;
inline constexpr std::uint8_t kTailSilent = 4;
inline constexpr std::uint8_t kUnitSilent = kHeadSilent | kMiddleSilent | kTailSilent;

// Groups between two steps of the progress animation during a conversion.
inline constexpr std::uint64_t kGroupsPerProgressStep = 1024;

// The size of a unit's head and tail: a tenth of a second of the rate at the
// recorder's packed word size, rounded up.
std::size_t GetEdgeSize(std::uint32_t sampleRate, unsigned bitsPerSample);

// True when all `count` bytes are 0 (a count of 0 is silent).
bool IsSilent(const std::uint8_t* bytes, std::size_t count);

// The flag byte of a unit of `unitSize` bytes of which `bytesRead` (1..unitSize)
// were read; the buffer holds zeros after them.
std::uint8_t UnitFlags(const std::uint8_t* unit, std::size_t bytesRead, std::size_t unitSize, std::size_t edgeSize);

// The regions of sound of a track from its units' flags, in ascending order.
std::vector<SoundRegion> BuildRegions(const std::vector<std::uint8_t>& flags, std::uint32_t groupsPerBlock);

// How many group indexes in [first, last] are multiples of kGroupsPerProgressStep.
std::uint64_t ProgressStepsIn(std::uint64_t first, std::uint64_t last);
