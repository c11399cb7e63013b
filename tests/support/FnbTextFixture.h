#pragma once
// Shared ground of the import-side tests: an MO folder with an FNB.TXT, a
// document pointing at it, a sound file reader whose header the test sets, and a
// file system that fails where a test says.

#include "app/Document.h"
#include "import/PCSoundFile.h"
#include "platform/FileSystem.h"
#include "recorder/FnbTextFile.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/ScriptedUserInterface.h"
#include "tests/support/TempFolder.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace importtest {

using Bytes = std::vector<std::uint8_t>;

Bytes AsBytes(const std::string& text);
std::string AsText(const Bytes& bytes);
// `text` followed by zeros up to 131072 bytes, as the recorder keeps FNB.TXT.
Bytes PaddedFnbText(const std::string& text);

// An MO folder whose FNB.TXT names project 07 last; the document points at it.
struct MoDisk {
    MoDisk();
    explicit MoDisk(const Bytes& fnbText);
    std::string FnbTextPath() const { return folder.File("FNB.TXT"); }

    testsupport::TempFolder folder;
    COVFtoWAVEDoc doc;
};

// The project information file of an import onto `doc`'s disk, named and stamped as the document says.
COrvoFnbTextFile TextFileOf(const COVFtoWAVEDoc& doc);
// Writes the project block for a source of `bits` and `rate` Hz as the import does;
// false when the format has no recorder code or the block is refused.
bool WriteSongBlockFor(COrvoFnbTextFile& text, unsigned bits, std::uint32_t rate);

// A reader over a file of raw bytes whose format fields the test sets.
class FakeSoundFile : public CPCSoundFile {
public:
    FakeSoundFile(ByteOrder order, std::uint16_t bits, std::uint32_t rate, std::uint32_t dataOffset,
                  std::uint32_t dataSize, platform::FileSystem& files = platform::RealFileSystem());
    std::optional<Refusal> ParseHeader(platform::ByteSource& source) override;

    bool headerAccepted = true;
    int headerReads = 0;
};

// A sample value's bytes in a source of `bytesPerSample` and the given order.
void AppendSample(Bytes& out, std::uint32_t value, int bytesPerSample, CPCSoundFile::ByteOrder order);

// The message of the ImportError that `action` raises, or nothing.
std::optional<MessageId> RaisedMessage(const std::function<void()>& action);

// The names of the files in a folder, sorted.
std::vector<std::string> FileNames(const std::string& folder);

}  // namespace importtest
