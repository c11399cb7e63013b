#include "tests/support/FnbTextFixture.h"

#include "platform/ByteSource.h"
#include "recorder/Errors.h"
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
    return rateFormat && wordLength && !text.WriteSongBlock(rateFormat->code, wordLength->code);
}

FakeSoundFile::FakeSoundFile(ByteOrder order, std::uint16_t bits, std::uint32_t rate, std::uint32_t dataOffset,
                             std::uint32_t dataSize, platform::FileSystem& files)
    : CPCSoundFile(SoundFileKind::None, order, files)
{
    m_bitsPerSample = bits;
    m_sampleRate = rate;
    m_channels = 1;
    m_dataOffset = dataOffset;
    m_dataSize = dataSize;
}

std::optional<Refusal> FakeSoundFile::ParseHeader(platform::ByteSource&)
{
    ++headerReads;
    if (headerAccepted)
        return std::nullopt;
    return FormatRefusal(Reason::NotWave);
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
