#include "export/ProjectList.h"

#include "recorder/BinderFile.h"
#include "recorder/Formats.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr const char* kGeneratedNameWord = "Project";
constexpr const char* kUnknownRateText = "Unknown";
constexpr std::size_t kListedNumberDigits = 2;

}  // namespace

ProjectListing ReadProjectList(const std::string& fnbPath, platform::FileSystem& files)
{
    ProjectListing listing;
    CBinderFile binder(fnbPath, files);
    if (!binder.Exists() || !binder.OpenForRead())
        return listing;
    listing.indexOpened = true;

    sobinder record{};
    for (bool more = binder.ReadFirstSong(record); more; more = binder.ReadNextSong(record)) {
        listing.storedNames.emplace_back(record.songName, kSongNameSize);
        listing.records.push_back(ListedRecord(record, static_cast<int>(listing.records.size()) + 1));
    }
    binder.Close();
    return listing;
}

sobinder ListedRecord(sobinder record, int listPosition)
{
    if (record.songName[0] != '\0')
        return record;
    // "%s %d" of the word and the counter, cut to the field with room for its NUL.
    const std::string name = std::string(kGeneratedNameWord) + " " + std::to_string(listPosition);
    std::memset(record.songName, 0, kSongNameSize);
    std::memcpy(record.songName, name.data(), std::min(name.size(), kSongNameSize - 1));
    return record;
}

std::string SongNameOf(const sobinder& record)
{
    return std::string(record.songName, strnlen(record.songName, kSongNameSize));
}

std::string ProjectListLine(const sobinder& record)
{
    // The number has at least two digits, zero-padded: "05", "42", "100".
    std::string number = std::to_string(record.projectNumber);
    if (number.size() < kListedNumberDigits)
        number.insert(0, kListedNumberDigits - number.size(), '0');
    return number + " : " + SongNameOf(record);
}

std::string SampleRateText(std::uint8_t sampleRateCode)
{
    const auto rate = RateOfCode(sampleRateCode);
    return rate && rate->listText ? rate->listText : kUnknownRateText;
}

std::string BitsText(std::uint8_t wordLengthCode)
{
    // The list shows every code it does not know as 16 bit.
    const auto format = WordLengthOfCode(wordLengthCode);
    return format ? format->listText : WordLengthOfCode(kWordLength16)->listText;
}
