#pragma once
// The recorder's binary records of FNB.BIN and HFS.BIN, in host values.
// Field order and offsets follow the record image (the big-endian structure the
// recorder defines); fields the program does not interpret are carried along.

#include <cstddef>
#include <cstdint>

// The recorder's files in the MO folder, beside the track data files.
inline constexpr const char* kBinderFileName = "FNB.BIN";
inline constexpr const char* kHfsFileName = "HFS.BIN";
inline constexpr const char* kFnbTextFileName = "FNB.TXT";

// Word-length codes of a project.
enum WordLengthCode : std::uint8_t { kWordLength16 = 0, kWordLength20 = 1, kWordLength24 = 2 };
// Sampling-rate codes of a project.
enum SampleRateCode : std::uint8_t { kRate32000 = 1, kRate44100 = 2, kRate48000 = 3 };

inline constexpr std::size_t kSlotSize = 32;       // FNB.BIN is an array of 32-byte slots
inline constexpr std::size_t kHeaderSize = 64;     // soheader: slots 0 and 1
inline constexpr std::size_t kBinderSize = 64;     // sobinder: two slots
inline constexpr std::size_t kEntrySize = 32;      // soentry: one slot
inline constexpr std::size_t kHfsRecordSize = 12;  // sohfs
inline constexpr std::size_t kSongNameSize = 14;

// The recorder has eight tracks; the export offers virtual tracks 1 to 8 of each.
inline constexpr std::size_t kTrackCount = 8;
inline constexpr int kVirtualTrackCount = 8;

// FNB.BIN header (slots 0 and 1).
struct soheader {
    std::uint16_t unknown00;
    std::uint16_t unknown02;
    std::uint32_t unknown04;
    std::uint16_t unknown08;
    std::uint8_t unknown0a[32];
    std::uint16_t firstSong;  // slot of the first project record
    std::uint32_t unknown2c;
    std::uint8_t unknown30[16];
};

// One project record (two slots).
struct sobinder {
    std::uint16_t nextSong;  // slot of the next project; the list is circular
    std::uint16_t unknown02;
    std::uint32_t slot;  // on disk not interpreted; in memory the record's own slot
    std::uint16_t unknown08;
    char songName[kSongNameSize];  // NUL-terminated when shorter than 14
    std::uint16_t projectNumber;
    std::uint16_t unknown1a;
    std::uint8_t sampleRate;  // SampleRateCode; anything else is unknown
    std::uint8_t wordLength;  // WordLengthCode
    std::uint8_t unknown1e[2];
    std::uint16_t unknown20[8];
    std::uint32_t unknown30;
    std::uint8_t unknown34[12];
};

// A track head or a segment (one slot).
struct soentry {
    std::uint16_t link;  // head: first segment or itself; segment: next segment
    std::uint16_t unknown02;
    std::uint32_t slot;  // on disk not interpreted; in memory the slot the chain end is judged by
    std::uint16_t unknown08;
    std::int16_t hfsIndex;        // record of the segment's lead-in in HFS.BIN
    std::uint32_t startGroup;     // start on the track's time line, in groups of 8 samples
    std::uint32_t lengthGroups;   // length, in groups of 8 samples
    std::uint16_t unknown14;
    std::uint16_t unknown16;
    std::uint16_t fileSerial;     // serial in the name of the segment's data file
    std::uint8_t unknown1a[6];
};

// One record of HFS.BIN.
struct sohfs {
    std::uint16_t unknown00;
    std::uint16_t unknown02;
    std::uint16_t unknown04;
    std::int16_t leadInGroups;  // groups by which the data starts before startGroup
    std::uint8_t unknown08[4];
};

static_assert(sizeof(soheader) == kHeaderSize && offsetof(soheader, firstSong) == 0x2a);
static_assert(sizeof(sobinder) == kBinderSize && offsetof(sobinder, songName) == 0x0a &&
              offsetof(sobinder, projectNumber) == 0x18 && offsetof(sobinder, sampleRate) == 0x1c &&
              offsetof(sobinder, wordLength) == 0x1d && offsetof(sobinder, unknown34) == 0x34);
static_assert(sizeof(soentry) == kEntrySize && offsetof(soentry, hfsIndex) == 0x0a &&
              offsetof(soentry, startGroup) == 0x0c && offsetof(soentry, fileSerial) == 0x18);
static_assert(sizeof(sohfs) == kHfsRecordSize && offsetof(sohfs, leadInGroups) == 0x06);
