#include "recorder/WordOrder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <span>

namespace wordorder {

namespace {

constexpr std::size_t kWordBytes = 4;

// A numeric field of a record image: its offset and width in bytes.
struct Field {
    std::size_t offset;
    std::size_t width;
};

constexpr std::size_t kU16 = 2;
constexpr std::size_t kU32 = 4;

constexpr Field kHeaderFields[] = {{0x00, kU16}, {0x02, kU16}, {0x04, kU32}, {0x08, kU16},
                                   {0x2a, kU16}, {0x2c, kU32}};
constexpr Field kBinderFields[] = {{0x00, kU16}, {0x02, kU16}, {0x04, kU32}, {0x08, kU16},
                                   {0x18, kU16}, {0x1a, kU16}, {0x20, kU16}, {0x22, kU16},
                                   {0x24, kU16}, {0x26, kU16}, {0x28, kU16}, {0x2a, kU16},
                                   {0x2c, kU16}, {0x2e, kU16}, {0x30, kU32}};
constexpr Field kEntryFields[] = {{0x00, kU16}, {0x02, kU16}, {0x04, kU32}, {0x08, kU16},
                                  {0x0a, kU16}, {0x0c, kU32}, {0x10, kU32}, {0x14, kU16},
                                  {0x16, kU16}, {0x18, kU16}};
constexpr Field kHfsFields[] = {{0x00, kU16}, {0x02, kU16}, {0x04, kU16}, {0x06, kU16}};

// Stored form <-> record image: reverse every aligned group of 4 bytes.
void ReverseWords(std::uint8_t* bytes, std::size_t size)
{
    for (std::size_t i = 0; i + kWordBytes <= size; i += kWordBytes)
        std::reverse(bytes + i, bytes + i + kWordBytes);
}

// Record image <-> host values: reverse every numeric field on a little-endian host;
// a big-endian host already holds the image's byte order.
void ReverseFields(std::uint8_t* bytes, std::span<const Field> fields)
{
    if constexpr (std::endian::native != std::endian::little)
        return;
    for (const Field& field : fields)
        std::reverse(bytes + field.offset, bytes + field.offset + field.width);
}

template <typename Record>
void DecodeRecord(const std::uint8_t* file, Record& out, std::span<const Field> fields)
{
    std::uint8_t bytes[sizeof(Record)];
    std::memcpy(bytes, file, sizeof bytes);
    ReverseWords(bytes, sizeof bytes);
    ReverseFields(bytes, fields);
    std::memcpy(&out, bytes, sizeof bytes);
}

template <typename Record>
void EncodeRecord(const Record& record, std::uint8_t* file, std::span<const Field> fields)
{
    std::memcpy(file, &record, sizeof(Record));
    ReverseFields(file, fields);
    ReverseWords(file, sizeof(Record));
}

}  // namespace

void Decode(const std::uint8_t* file, soheader& out) { DecodeRecord(file, out, kHeaderFields); }
void Decode(const std::uint8_t* file, sobinder& out) { DecodeRecord(file, out, kBinderFields); }
void Decode(const std::uint8_t* file, soentry& out) { DecodeRecord(file, out, kEntryFields); }
void Decode(const std::uint8_t* file, sohfs& out) { DecodeRecord(file, out, kHfsFields); }

void Encode(const soheader& record, std::uint8_t* file) { EncodeRecord(record, file, kHeaderFields); }
void Encode(const sobinder& record, std::uint8_t* file) { EncodeRecord(record, file, kBinderFields); }
void Encode(const soentry& record, std::uint8_t* file) { EncodeRecord(record, file, kEntryFields); }
void Encode(const sohfs& record, std::uint8_t* file) { EncodeRecord(record, file, kHfsFields); }

}  // namespace wordorder
