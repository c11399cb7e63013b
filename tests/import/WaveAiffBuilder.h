#pragma once
// Builds WAVE and AIFF files byte by byte for the header tests, so that every
// variant (odd chunks, damaged sizes, extensible formats, SSND offsets) is spelt
// out in the test itself.

#include "recorder/Errors.h"
#include "tests/support/ScriptedUserInterface.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace soundbytes {

using Bytes = std::vector<std::uint8_t>;

Bytes Le16(std::uint16_t value);
Bytes Le32(std::uint32_t value);
Bytes Be16(std::uint16_t value);
Bytes Be32(std::uint32_t value);
Bytes Text(const char* text);
Bytes Cat(std::initializer_list<Bytes> parts);
Bytes Zeros(std::size_t count);

// A chunk with its 8-byte header and a pad byte after an odd body. The stated
// size defaults to the body's size.
Bytes RiffChunk(const char* id, const Bytes& body, std::optional<std::uint32_t> statedSize = std::nullopt);
Bytes AiffChunk(const char* id, const Bytes& body, std::optional<std::uint32_t> statedSize = std::nullopt);

inline constexpr std::uint16_t kPcm = 1;
inline constexpr std::uint16_t kFloat = 3;
inline constexpr std::uint16_t kExtensible = 0xFFFE;

// The 16 bytes of a plain "fmt " chunk body.
Bytes PlainFormat(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits);
// The 40 bytes of an extensible "fmt " body; `subFormatTag` goes into the GUID's first field.
Bytes ExtensibleFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t container, std::uint16_t valid,
                       std::uint16_t extensionSize = 22, std::uint32_t subFormatTag = kPcm);
// "RIFF" of form type "WAVE" around the given chunks.
Bytes WaveFile(const Bytes& chunks, std::optional<std::uint32_t> statedSize = std::nullopt);

// The 10-byte extended-precision value of a whole rate.
Bytes ExtendedRate(std::uint32_t rate);
Bytes CommonBody(std::uint16_t channels, std::uint16_t bits, const Bytes& extendedRate, std::uint32_t frames = 0);
// "SSND" body: offset, block size 0, `offset` padding bytes, then the samples.
Bytes SoundDataBody(std::uint32_t offset, const Bytes& samples);
Bytes AiffFile(const Bytes& chunks, const char* formType = "AIFF");

}  // namespace soundbytes

class CPCSoundFile;

namespace soundbytes {

// Writes `file` under `name` into a fresh folder and runs the reader's header check on
// it: why it refused, or nothing when accepted.
std::optional<Refusal> HeaderRefusalOf(CPCSoundFile& reader, const Bytes& file, const std::string& name);

// What the user sees when the import checks validate the file at `path` (or `file`
// written under `name`) as Track 1: the checks decide what a reader's refusal shows.
std::vector<testsupport::UiEvent> MessagesOfChecks(const std::string& path);
std::vector<testsupport::UiEvent> MessagesOfChecks(const Bytes& file, const std::string& name);
// The texts of `events`.
std::vector<std::string> Texts(const std::vector<testsupport::UiEvent>& events);

}  // namespace soundbytes
