#include "archive/ArchiveNames.h"

#include "export/ProjectList.h"
#include "platform/Files.h"
#include "recorder/TrackFileName.h"

#include <algorithm>
#include <string_view>

namespace archive {

namespace {

constexpr char kReplacement = '_';
constexpr std::string_view kRefusedCharacters = "<>:\"/\\|?*";
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7f;
constexpr unsigned char kFirstNonAscii = 0x80;
constexpr unsigned char kUtf8LeadTwoBytes = 0xc0;
constexpr unsigned char kUtf8Continuation = 0x80;
constexpr unsigned char kLowSixBits = 0x3f;
constexpr unsigned kSixBits = 6;
// U+0080 to U+009F, the C1 controls, start with this byte in UTF-8.
constexpr unsigned char kC1Lead = 0xc2;
constexpr unsigned char kC1SecondEnd = 0xa0;
constexpr std::string_view kIndexNames[] = {kBinderFileName, kHfsFileName, kFnbTextFileName};

bool IsControl(unsigned char byte)
{
    return byte < kFirstPrintable || byte == kDelete;
}

}  // namespace

std::string Latin1ToUtf8(const std::string& latin1)
{
    std::string utf8;
    utf8.reserve(latin1.size() * 2);
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < kFirstNonAscii) {
            utf8 += c;
            continue;
        }
        utf8 += static_cast<char>(kUtf8LeadTwoBytes | (byte >> kSixBits));
        utf8 += static_cast<char>(kUtf8Continuation | (byte & kLowSixBits));
    }
    return utf8;
}

std::string SafeFileName(const std::string& utf8)
{
    std::string safe;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const bool c1 = byte == kC1Lead && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < kC1SecondEnd;
        if (c1) {
            safe += kReplacement;
            ++i;
        } else if (IsControl(byte) || kRefusedCharacters.find(utf8[i]) != std::string_view::npos) {
            safe += kReplacement;
        } else {
            safe += utf8[i];
        }
    }
    for (auto i = safe.size(); i > 0 && (safe[i - 1] == '.' || safe[i - 1] == ' '); --i)
        safe[i - 1] = kReplacement;
    return safe;
}

std::string ProjectFolderName(const sobinder& listedRecord)
{
    return SafeFileName(ZeroPadded(listedRecord.projectNumber, kProjectNumberDigits) + " " +
                        Latin1ToUtf8(SongNameOf(listedRecord)));
}

std::vector<std::string> UniqueNames(const std::vector<std::string>& names)
{
    std::vector<std::string> unique;
    const auto taken = [&unique](const std::string& name) {
        for (const auto& earlier : unique) {
            if (platform::EqualsIgnoringCase(earlier, name))
                return true;
        }
        return false;
    };
    for (const auto& name : names) {
        std::string candidate = name;
        for (int copy = 2; taken(candidate); ++copy)
            candidate = name + " (" + std::to_string(copy) + ")";
        unique.push_back(candidate);
    }
    return unique;
}

std::string FormatExtension(ArchiveFormat format)
{
    return format == ArchiveFormat::Flac ? "flac" : "wav";
}

std::string TrackOutputName(int track, int virtualTrack, ArchiveFormat format)
{
    std::string name(1, 'T');
    name.append(std::to_string(track)).append(1, 'V').append(std::to_string(virtualTrack));
    return name.append(1, '.').append(FormatExtension(format));
}

bool IsIndexFileName(const std::string& name)
{
    return std::any_of(std::begin(kIndexNames), std::end(kIndexNames), [&](const auto indexName) {
        return platform::EqualsIgnoringCase(name, std::string(indexName));
    });
}

bool IsRecorderFileName(const std::string& name)
{
    if (IsIndexFileName(name))
        return true;
    const std::string prefix = kTrackFilePrefix;
    return name.size() == kTrackFileNameLength && platform::EqualsIgnoringCase(name.substr(0, prefix.size()), prefix);
}

}  // namespace archive
