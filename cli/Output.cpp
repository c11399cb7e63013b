#include "cli/Output.h"

#include "platform/FileSystem.h"

#include <cstdio>

namespace cli {

namespace {

constexpr const char* kPrefix = "wavelorn-cli: ";
constexpr int kJsonIndent = 2;

OutputMode& Mode()
{
    static OutputMode mode;
    return mode;
}

void PrintPrefixed(const std::string& text)
{
    std::fprintf(stderr, "%s%s\n", kPrefix, text.c_str());
    std::fflush(stderr);
}

}  // namespace

void SetOutputMode(const OutputMode& mode)
{
    Mode() = mode;
}

bool Quiet()
{
    return Mode().verbosity == Verbosity::Quiet;
}

bool Verbose()
{
    return Mode().verbosity == Verbosity::Verbose;
}

bool JsonOutput()
{
    return Mode().json;
}

void PrintError(const std::string& text)
{
    PrintPrefixed(text);
}

void PrintNotice(const std::string& text)
{
    if (!Quiet())
        PrintPrefixed(text);
}

void PrintStep(const std::string& text)
{
    if (Verbose())
        PrintPrefixed(text);
}

void PrintData(const std::string& line)
{
    if (JsonOutput())
        return;
    const std::string withEnd = line + "\n";
    std::fwrite(withEnd.data(), 1, withEnd.size(), stdout);
}

nlohmann::json& Result()
{
    static nlohmann::json document = {{"warnings", nlohmann::json::array()}, {"refusal", nullptr}};
    return document;
}

void PrintResult(int exitStatus)
{
    if (!JsonOutput())
        return;
    Result()["exitStatus"] = exitStatus;
    // Recorder names are bytes, not UTF-8: an invalid sequence becomes U+FFFD here, the
    // bytes themselves stay in `nameBytes`.
    const std::string text = Result().dump(kJsonIndent, ' ', false, nlohmann::json::error_handler_t::replace);
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

void RecordRefusal(const nlohmann::json& message, const std::string& reason)
{
    Result()["refusal"] = {{"message", message}, {"reason", reason}};
}

void PrintToolWarning(const std::string& text)
{
    PrintNotice("warning: " + text);
    Result()["warnings"].push_back(text);
}

nlohmann::json FileEntry(const std::string& path)
{
    const auto size = platform::RealFileSystem().FileSize(path);
    return {{"path", path}, {"size", size ? nlohmann::json(*size) : nlohmann::json()}};
}

}  // namespace cli
