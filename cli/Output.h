#pragma once
// What the tool prints beside its data, in one place: its own lines on standard error at
// the chosen verbosity (--quiet: errors only; --verbose: each step too), and with --json
// the one document of the run's result on standard output, printed also when the run
// fails, instead of the data lines.

#include "recorder/Errors.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace cli {

enum class Verbosity { Quiet, Normal, Verbose };

struct OutputMode {
    Verbosity verbosity = Verbosity::Normal;
    bool json = false;
};

// Set once, before the command runs.
void SetOutputMode(const OutputMode& mode);
bool Quiet();
bool Verbose();
bool JsonOutput();

// "wavelorn-cli: TEXT" on standard error: an error always, a notice unless --quiet,
// a step only under --verbose.
void PrintError(const std::string& text);
void PrintNotice(const std::string& text);
void PrintStep(const std::string& text);

// A line of data on standard output, the bytes as they are; nothing under --json,
// whose document carries the same data.
void PrintData(const std::string& line);

// The document of the run: `command`, then what the command adds (its data, `warnings`,
// `refusal`); `exitStatus` is set when it is printed.
nlohmann::json& Result();
// Under --json, prints the document with `exitStatus` on standard output.
void PrintResult(int exitStatus);

// Records a refusal in the document: the system's message (null for a usage error of
// the tool's own) and the reason.
void RecordRefusal(const nlohmann::json& message, const std::string& reason);
// A warning of the tool's own: "wavelorn-cli: warning: TEXT" unless --quiet, and in
// the document's `warnings`.
void PrintToolWarning(const std::string& text);

// A file the run wrote, with its size, for the document's `files`.
nlohmann::json FileEntry(const std::string& path);

}  // namespace cli
