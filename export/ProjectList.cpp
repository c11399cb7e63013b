#include "export/ProjectList.h"

#include "recorder/BinderFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kGeneratedNameWord = "Project";

// Gives an unnamed record the generated name "Project N", NUL-terminated inside the field.
void NameIfEmpty(sobinder& record, int listPosition)
{
    if (record.songName[0] != '\0')
        return;
    // "%s %d" of the word and the counter, cut to the field with room for its NUL.
    const std::string name = std::string(kGeneratedNameWord) + " " + std::to_string(listPosition);
    std::memset(record.songName, 0, kSongNameSize);
    std::memcpy(record.songName, name.data(), std::min(name.size(), kSongNameSize - 1));
}

}  // namespace

ProjectListing ReadProjectList(const std::string& fnbPath)
{
    ProjectListing listing;
    CBinderFile binder(fnbPath);
    if (!binder.Exists() || !binder.OpenForRead())
        return listing;
    listing.indexOpened = true;

    sobinder record{};
    for (bool more = binder.ReadFirstSong(record); more; more = binder.ReadNextSong(record)) {
        sobinder listed = record;
        NameIfEmpty(listed, static_cast<int>(listing.records.size()) + 1);
        listing.records.push_back(listed);
    }
    binder.Close();
    return listing;
}

std::string SongNameOf(const sobinder& record)
{
    return std::string(record.songName, strnlen(record.songName, kSongNameSize));
}

std::string ProjectListLine(const sobinder& record)
{
    char number[16];
    std::snprintf(number, sizeof number, "%.2d", static_cast<int>(record.projectNumber));
    return std::string(number) + " : " + SongNameOf(record);
}

std::string SampleRateText(std::uint8_t sampleRateCode)
{
    switch (sampleRateCode) {
    case kRate32000:
        return "32.0KHz";
    case kRate44100:
        return "44.1KHz";
    case kRate48000:
        return "48.0KHz";
    default:
        return "Unknown";
    }
}

std::string BitsText(std::uint8_t wordLengthCode)
{
    switch (wordLengthCode) {
    case kWordLength20:
        return "20bit";
    case kWordLength24:
        return "24bit";
    default:
        return "16bit";
    }
}
