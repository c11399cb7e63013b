#pragma once
// The recorder word order: every binary record of the recorder is a big-endian
// structure stored as a sequence of 32-bit little-endian words. Decoding a record
// reverses every aligned 4-byte group (giving the big-endian record image) and then
// reverses every numeric field of the image (giving host values); encoding does the
// same two steps in the opposite order. Character and single-byte fields are copied.

#include "recorder/Records.h"

#include <cstdint>

namespace wordorder {

// `file` points at a record as stored on disk (sizeof the record bytes).
void Decode(const std::uint8_t* file, soheader& out);
void Decode(const std::uint8_t* file, sobinder& out);
void Decode(const std::uint8_t* file, soentry& out);
void Decode(const std::uint8_t* file, sohfs& out);

// `file` receives sizeof the record bytes in the stored form.
void Encode(const soheader& record, std::uint8_t* file);
void Encode(const sobinder& record, std::uint8_t* file);
void Encode(const soentry& record, std::uint8_t* file);
void Encode(const sohfs& record, std::uint8_t* file);

}  // namespace wordorder
