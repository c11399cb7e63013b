#pragma once
// The project list of a recorder disk as the project selection shows it: the
// records of FNB.BIN in chain order, their list lines and their display texts.

#include "platform/FileSystem.h"
#include "recorder/Records.h"

#include <cstdint>
#include <string>
#include <vector>

struct ProjectListing {
    // False when FNB.BIN is missing or cannot be opened: nothing can be selected.
    bool indexOpened = false;
    // In chain order; a record with an empty name carries "Project N", N its list position from 1.
    std::vector<sobinder> records;
    // The name field of each record as FNB.BIN stores it: its 14 bytes, an empty name's too.
    std::vector<std::string> storedNames;
};

// Reads every project record of the FNB.BIN at `fnbPath` in `files`. A record that
// cannot be read ends the list at the records read so far.
ProjectListing ReadProjectList(const std::string& fnbPath, platform::FileSystem& files = platform::RealFileSystem());

// The record as the list shows it at `listPosition` (from 1): an empty name becomes
// "Project N" with N that position, NUL-terminated inside the field; any other record
// is returned unchanged.
sobinder ListedRecord(sobinder record, int listPosition);

// The project's name: the characters of `songName` up to its NUL, at most 14.
std::string SongNameOf(const sobinder& record);

// "%.2d : %s" of the project number and the name, e.g. "05 : Demo".
std::string ProjectListLine(const sobinder& record);

// "32.0KHz", "44.1KHz", "48.0KHz" or "Unknown".
std::string SampleRateText(std::uint8_t sampleRateCode);

// "20bit", "24bit", or "16bit" for every other code.
std::string BitsText(std::uint8_t wordLengthCode);
