#pragma once
// The system's message table: string-table ids and their texts, verbatim.
// Texts keep their CR LF; a window shows them as line breaks.

#include <string>

enum class MessageId : int {
    FormatUnknown = 3000,
    Track1NameWrong = 3001,
    DifferentFormat = 3002,
    NoDiskSpace = 3003,
    InsideError = 3004,
    FnbReadFailed = 3006,
    FnbWriteFailed = 3007,
    FnbFull = 3008,
    ProjectNumberFull = 3009,
    SampleReadFailed = 3010,
    FileNotFound = 3011,
    ConvertFailed = 3012,
    FileExists = 3013,
    ConvertSucceeded = 3014,
};

// The text of a message id, exactly as the user sees it.
const std::string& MessageText(MessageId id);

// The text as a window or console shows it: every CR LF (and lone CR) becomes a line break.
std::string WithLineBreaks(const std::string& text);

// The caption of every message box.
inline constexpr const char* kApplicationTitle = "Wavelorn";
