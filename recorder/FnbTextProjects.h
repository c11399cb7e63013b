#pragma once
// Reading FNB.TXT, the recorder's project information text: its project blocks, as
// both the import (to derive the next project number) and the project list read them.

#include "platform/FileSystem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The key of the lines a project number is read from.
inline constexpr std::string_view kSerialKey = "SNGSERIAL:";

// One project block of FNB.TXT: its "SNGSERIAL:" line and the "SONGTITLE:",
// "RECORDBIT:" and "RECORDFSC:" lines after it, up to the next "SNGSERIAL:" line.
struct FnbTextProject {
    std::string number;  // the two digits, as the line holds them; empty when the line is too short
    std::string title;
    std::optional<std::uint8_t> wordLengthCode;  // nothing when missing or not a number below 256
    std::optional<std::uint8_t> rateCode;
};

struct FnbTextProjects {
    // True when the first line holds "VERSIONID:": the recorder has written the text
    // itself, and its blocks describe projects FNB.BIN lists.
    bool writtenByRecorder = false;
    std::vector<FnbTextProject> projects;  // in the order of the text
};

// The value of a project number's two digits; nothing when they are not two decimal digits.
std::optional<int> ProjectNumberValue(const std::string& digits);

// The project blocks of a text, read by the rule by which the project number is
// derived: a key counts at the start of a whole line or of its first piece (a line
// is read in pieces of at most 259 characters). Nothing when it cannot be read.
std::optional<FnbTextProjects> ReadFnbTextProjects(platform::ByteSource& text);

// The same for the FNB.TXT in `moFolder`; nothing also when there is none.
std::optional<FnbTextProjects> ReadFnbTextProjects(const std::string& moFolder,
                                                   platform::FileSystem& files = platform::RealFileSystem());
