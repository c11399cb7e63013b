#include "tests/import/WaveAiffBuilder.h"

#include "app/Document.h"
#include "import/ImportChecks.h"
#include "import/PCSoundFile.h"
#include "platform/Files.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/TempFolder.h"

#include <bit>
#include <cstring>

namespace soundbytes {

namespace {

constexpr std::uint16_t kExtendedExponentBias = 16383;
constexpr int kMantissaTopBit = 63;
constexpr std::size_t kIdSize = 4;
constexpr std::uint64_t kPlentyOfRoom = std::uint64_t{1} << 40;

// A page of slots and nothing else.
class SlotsPage : public CImportPage {
public:
    COrvoTrack& GetTrackSlot(std::uint8_t index) override { return m_slots.at(index); }
    void EnableInputs(bool) override {}
    void ShowFormat(bool) override {}

private:
    TrackSlots m_slots = MakeTrackSlots();
};

}  // namespace

Bytes Le16(std::uint16_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
}

Bytes Le32(std::uint32_t value)
{
    return Cat({Le16(static_cast<std::uint16_t>(value)), Le16(static_cast<std::uint16_t>(value >> 16))});
}

Bytes Be16(std::uint16_t value)
{
    return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

Bytes Be32(std::uint32_t value)
{
    return Cat({Be16(static_cast<std::uint16_t>(value >> 16)), Be16(static_cast<std::uint16_t>(value))});
}

Bytes Text(const char* text)
{
    return Bytes(text, text + std::strlen(text));
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Zeros(std::size_t count)
{
    return Bytes(count, 0);
}

namespace {

Bytes Chunk(const char* id, const Bytes& size, const Bytes& body)
{
    Bytes chunk = Cat({Bytes(id, id + kIdSize), size, body});
    if (body.size() % 2 != 0)
        chunk.push_back(0);
    return chunk;
}

}  // namespace

Bytes RiffChunk(const char* id, const Bytes& body, std::optional<std::uint32_t> statedSize)
{
    return Chunk(id, Le32(statedSize.value_or(static_cast<std::uint32_t>(body.size()))), body);
}

Bytes AiffChunk(const char* id, const Bytes& body, std::optional<std::uint32_t> statedSize)
{
    return Chunk(id, Be32(statedSize.value_or(static_cast<std::uint32_t>(body.size()))), body);
}

Bytes PlainFormat(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits)
{
    const std::uint16_t blockAlign = static_cast<std::uint16_t>(channels * ((bits + 7) / 8));
    return Cat({Le16(tag), Le16(channels), Le32(rate), Le32(rate * blockAlign), Le16(blockAlign), Le16(bits)});
}

Bytes ExtensibleFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t container, std::uint16_t valid,
                       std::uint16_t extensionSize, std::uint32_t subFormatTag)
{
    const Bytes guidTail = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    return Cat({PlainFormat(kExtensible, channels, rate, container), Le16(extensionSize), Le16(valid), Le32(0),
                Le32(subFormatTag), guidTail});
}

Bytes WaveFile(const Bytes& chunks, std::optional<std::uint32_t> statedSize)
{
    return RiffChunk("RIFF", Cat({Text("WAVE"), chunks}), statedSize);
}

Bytes ExtendedRate(std::uint32_t rate)
{
    const int topBit = std::bit_width(rate) - 1;
    const std::uint64_t mantissa = static_cast<std::uint64_t>(rate) << (kMantissaTopBit - topBit);
    return Cat({Be16(static_cast<std::uint16_t>(kExtendedExponentBias + topBit)),
                Be32(static_cast<std::uint32_t>(mantissa >> 32)), Be32(static_cast<std::uint32_t>(mantissa))});
}

Bytes CommonBody(std::uint16_t channels, std::uint16_t bits, const Bytes& extendedRate, std::uint32_t frames)
{
    return Cat({Be16(channels), Be32(frames), Be16(bits), extendedRate});
}

Bytes SoundDataBody(std::uint32_t offset, const Bytes& samples)
{
    return Cat({Be32(offset), Be32(0), Zeros(offset), samples});
}

Bytes AiffFile(const Bytes& chunks, const char* formType)
{
    return AiffChunk("FORM", Cat({Text(formType), chunks}));
}

std::optional<Refusal> HeaderRefusalOf(CPCSoundFile& reader, const Bytes& file, const std::string& name)
{
    const testsupport::TempFolder folder;
    testsupport::WriteBytes(folder.File(name), file);
    return reader.ReadHeader(folder.File(name));
}

std::vector<testsupport::UiEvent> MessagesOfChecks(const std::string& path)
{
    testsupport::ScriptedUserInterface ui;
    SlotsPage page;
    const std::string folder = platform::FolderPart(path);
    testsupport::FaultyFileSystem files;
    files.freeSpace = kPlentyOfRoom;  // an accepted file shows nothing, whatever room the host has
    CImportChecks checks(page, ui, folder, files);
    COVFtoWAVEDoc doc;
    doc.SetMoFolder(folder);
    checks.Validate({"Demo", {path}}, doc);
    return ui.events;
}

std::vector<testsupport::UiEvent> MessagesOfChecks(const Bytes& file, const std::string& name)
{
    const testsupport::TempFolder folder;
    testsupport::WriteBytes(folder.File(name), file);
    return MessagesOfChecks(folder.File(name));
}

std::vector<std::string> Texts(const std::vector<testsupport::UiEvent>& events)
{
    std::vector<std::string> texts;
    for (const auto& event : events)
        texts.push_back(event.text);
    return texts;
}

}  // namespace soundbytes
