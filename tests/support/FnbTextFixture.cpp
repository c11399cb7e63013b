#include "tests/support/FnbTextFixture.h"

#include "platform/ByteSource.h"
#include "platform/Errors.h"
#include "platform/OutputFile.h"
#include "recorder/Formats.h"

#include <algorithm>
#include <filesystem>

namespace importtest {

Bytes AsBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

std::string AsText(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

Bytes PaddedFnbText(const std::string& text)
{
    Bytes bytes = AsBytes(text);
    bytes.resize(kFnbTextSize, 0);
    return bytes;
}

MoDisk::MoDisk() : MoDisk(PaddedFnbText("SNGSERIAL: 07\r\nSONGTITLE: Old\r\n\r\n")) {}

MoDisk::MoDisk(const Bytes& fnbText)
{
    testsupport::WriteBytes(FnbTextPath(), fnbText);
    doc.SetMoFolder(folder.Path());
    doc.m_strTimeStamp = "2000/04/25 13:05:09";
}

COrvoFnbTextFile TextFileOf(const COVFtoWAVEDoc& doc)
{
    return COrvoFnbTextFile(doc.m_strMoFolder, doc.GetNewProjectName(), doc.GetTimeStamp());
}

bool WriteSongBlockFor(COrvoFnbTextFile& text, unsigned bits, std::uint32_t rate)
{
    const auto rateFormat = RateOfHz(rate);
    const auto wordLength = WordLengthOfBits(bits);
    return rateFormat && wordLength && text.WriteSongBlock(rateFormat->code, wordLength->code);
}

FakeSoundFile::FakeSoundFile(platform::UserInterface& ui, ByteOrder order, std::uint16_t bits, std::uint32_t rate,
                             std::uint32_t dataOffset, std::uint32_t dataSize, platform::FileSystem& files)
    : CPCSoundFile(ui, order, files)
{
    m_bitsPerSample = bits;
    m_sampleRate = rate;
    m_channels = 1;
    m_dataOffset = dataOffset;
    m_dataSize = dataSize;
}

bool FakeSoundFile::ParseHeader(platform::ByteSource&)
{
    ++headerReads;
    return headerAccepted || RefuseFormat(Reason::NotWave);
}

namespace {

// Reads through another source, but for the reads a test makes fail.
class FaultySource : public platform::ByteSource {
public:
    FaultySource(std::unique_ptr<platform::ByteSource> inner, std::function<bool(std::uint64_t)> fails)
        : m_inner(std::move(inner)), m_fails(std::move(fails))
    {
    }
    std::uint64_t Size() const override { return m_inner->Size(); }
    std::optional<std::size_t> ReadAt(std::uint64_t position, void* buffer, std::size_t count) override
    {
        return m_fails(position) ? std::nullopt : m_inner->ReadAt(position, buffer, count);
    }

private:
    std::unique_ptr<platform::ByteSource> m_inner;
    std::function<bool(std::uint64_t)> m_fails;
};

// Takes no byte.
class UnwritableFile : public platform::OutputFile {
public:
    bool Write(const void*, std::size_t) override { return false; }
    bool Seek(std::uint64_t) override { return false; }
    bool Flush() override { return false; }
    bool Close() override { return false; }
};

}  // namespace

std::unique_ptr<platform::ByteSource> FaultyFileSystem::OpenRead(const std::string& path)
{
    auto source = m_inner.OpenRead(path);
    if (!source || !failReads)
        return source;
    return std::make_unique<FaultySource>(std::move(source), [this, path](std::uint64_t position) {
        return failReads(path, position);
    });
}

std::unique_ptr<platform::OutputFile> FaultyFileSystem::OpenWrite(const std::string& path, platform::WriteMode mode)
{
    if (failWrites && failWrites(path, mode))
        return std::make_unique<UnwritableFile>();
    return m_inner.OpenWrite(path, mode);
}

std::optional<std::vector<platform::FolderEntry>> FaultyFileSystem::ListFolder(const std::string& folder)
{
    return m_inner.ListFolder(folder);
}

platform::FileKind FaultyFileSystem::KindOf(const std::string& path)
{
    return m_inner.KindOf(path);
}

std::optional<std::uint64_t> FaultyFileSystem::FileSize(const std::string& path)
{
    return m_inner.FileSize(path);
}

bool FaultyFileSystem::Resize(const std::string& path, std::uint64_t size)
{
    return m_inner.Resize(path, size);
}

bool FaultyFileSystem::Remove(const std::string& path)
{
    return m_inner.Remove(path);
}

bool FaultyFileSystem::Rename(const std::string& from, const std::string& to)
{
    return m_inner.Rename(from, to);
}

std::optional<std::uint64_t> FaultyFileSystem::FreeSpace(const std::string& folder)
{
    return freeSpace ? freeSpace : m_inner.FreeSpace(folder);
}

std::string FaultyFileSystem::TemporaryFolder()
{
    return noTemporaryFolder ? std::string() : m_inner.TemporaryFolder();
}

void AppendSample(Bytes& out, std::uint32_t value, int bytesPerSample, CPCSoundFile::ByteOrder order)
{
    for (int i = 0; i < bytesPerSample; ++i) {
        const int shift = order == CPCSoundFile::kBigEndian ? 8 * (bytesPerSample - 1 - i) : 8 * i;
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

std::optional<MessageId> RaisedMessage(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ImportError& error) {
        return error.id;
    }
    return std::nullopt;
}

std::vector<std::string> FileNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace importtest
