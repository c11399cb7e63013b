#include "cli/Commands.h"

#include "archive/ArchiveCheck.h"
#include "archive/ArchiveRun.h"
#include "cli/Output.h"
#include "cli/ProgressBar.h"
#include "convert/FlacFile.h"
#include "platform/Files.h"
#include "platform/FileSystem.h"
#include "platform/Terminal.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace cli {

namespace {

using namespace std::string_view_literals;

// Lines that only inform: left out under --quiet, which keeps what failed or differs.
constexpr std::array kInformingPrefixes = {"warning: "sv, "redone: "sv, "retried: "sv,
                                           "replaced: "sv, "archived "sv, "checked "sv};
constexpr std::string_view kWarningPrefix = "warning: ";
// Lines that say why the run ended without an archive.
constexpr std::array kRefusalPrefixes = {"archive stopped: "sv, "archive refused: "sv, "check stopped: "sv};

bool StartsWithAny(const std::string& text, const auto& prefixes)
{
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&text](std::string_view prefix) { return text.starts_with(prefix); });
}

// On a terminal the bar's line is cleared before anything else is printed on it.
void ClearProgressLine()
{
    if (platform::IsTerminal(stderr)) {
        std::fprintf(stderr, "\r%*s\r", static_cast<int>(ProgressBar::LineWidth()), "");
        std::fflush(stderr);
    }
}

class StandardStreams : public archive::ArchiveConsole {
public:
    explicit StandardStreams(std::string outdir) : m_outdir(std::move(outdir))
    {
        Result()["files"] = nlohmann::json::array();
        Result()["messages"] = nlohmann::json::array();
    }

    void Warn(const std::string& text) override
    {
        Record(text);
        if (Quiet() && StartsWithAny(text, kInformingPrefixes))
            return;
        // The line covers the progress bar, which is drawn again below it.
        ClearProgressLine();
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
    }
    void Listed(const std::string& file) override
    {
        nlohmann::json entry = FileEntry(platform::JoinPath(m_outdir, file));
        entry["path"] = file;
        Result()["files"].push_back(entry);
        // Standard output and the bar share the terminal: the bar's line is cleared first.
        if (!JsonOutput() && platform::IsTerminal(stdout))
            ClearProgressLine();
        PrintData(file);
        std::fflush(stdout);
    }
    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override
    {
        return std::make_unique<ProgressBar>(stderr);
    }

private:
    static void Record(const std::string& text)
    {
        Result()["messages"].push_back(text);
        if (text.starts_with(kWarningPrefix))
            Result()["warnings"].push_back(text.substr(kWarningPrefix.size()));
        if (StartsWithAny(text, kRefusalPrefixes))
            RecordRefusal(nullptr, text);
    }

    std::string m_outdir;
};

// --check names one folder, which fills the first place: the archive's.
int CheckCommand(const ArchiveCommandOptions& options)
{
    if (options.disk.empty() || !options.outdir.empty())
        return UsageError("archive --check takes one folder: OUTDIR");
    if (!IsFolder(options.disk))
        return UsageError("not a folder: " + options.disk);
    StandardStreams console(options.disk);
    return archive::CheckArchive(options.disk, platform::RealFileSystem(), console);
}

}  // namespace

int ArchiveCommand(const ArchiveCommandOptions& options)
{
    if (options.check)
        return CheckCommand(options);
    if (options.disk.empty() || options.outdir.empty())
        return UsageError("archive needs DISK and OUTDIR");
    if (const auto refusal = DiskRefusal(options.disk))
        return UsageError(*refusal);
    const bool flac = options.format == archive::FormatExtension(archive::ArchiveFormat::Flac);
    if (flac && !convert::FlacAvailable())
        return UsageError("this build cannot write FLAC (it was built without libsndfile); use --format wav");
    if (const auto refusal = archive::OutdirRefusal(options.disk, options.outdir, platform::RealFileSystem()))
        return UsageError(*refusal);

    const archive::ArchiveOptions run{options.disk, options.outdir,
                                     flac ? archive::ArchiveFormat::Flac : archive::ArchiveFormat::Wave, options.verify,
                                     options.replace};
    StandardStreams console(options.outdir);
    PrintStep("archiving " + options.disk + " into " + options.outdir);
    platform::CatchStopRequests();
    const int status = archive::RunArchive(run, platform::RealFileSystem(), console);
    return status == kExitInterrupted ? Interrupted() : status;
}

}  // namespace cli
