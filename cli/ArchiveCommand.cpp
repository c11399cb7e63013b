#include "cli/Commands.h"

#include "archive/ArchiveCheck.h"
#include "archive/ArchiveRun.h"
#include "cli/ProgressBar.h"
#include "convert/FlacFile.h"
#include "platform/FileSystem.h"
#include "platform/Terminal.h"

#include <cstdio>

namespace cli {

namespace {

class StandardStreams : public archive::ArchiveConsole {
public:
    void Warn(const std::string& text) override
    {
        // On a terminal the line covers the progress bar, which is drawn again below it.
        if (platform::IsTerminal(stderr))
            std::fprintf(stderr, "\r%-*s\n", static_cast<int>(ProgressBar::LineWidth()), text.c_str());
        else
            std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
    }
    void Listed(const std::string& file) override { std::printf("%s\n", file.c_str()); }
    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override
    {
        return std::make_unique<ProgressBar>(stderr);
    }
};

// --check names one folder, which fills the first place: the archive's.
int CheckCommand(const ArchiveCommandOptions& options)
{
    if (options.disk.empty() || !options.outdir.empty())
        return UsageError("archive --check takes one folder: OUTDIR");
    if (!IsFolder(options.disk))
        return UsageError("not a folder: " + options.disk);
    StandardStreams console;
    return archive::CheckArchive(options.disk, platform::RealFileSystem(), console);
}

}  // namespace

int ArchiveCommand(const ArchiveCommandOptions& options)
{
    if (options.check)
        return CheckCommand(options);
    if (options.disk.empty() || options.outdir.empty())
        return UsageError("archive needs DISK and OUTDIR");
    if (!IsFolder(options.disk))
        return UsageError("not a folder: " + options.disk);
    const bool flac = options.format == archive::FormatExtension(archive::ArchiveFormat::Flac);
    if (flac && !convert::FlacAvailable())
        return UsageError("this build cannot write FLAC (it was built without libsndfile); use --format wav");
    if (const auto refusal = archive::OutdirRefusal(options.disk, options.outdir, platform::RealFileSystem()))
        return UsageError(*refusal);

    const archive::ArchiveOptions run{options.disk, options.outdir,
                                     flac ? archive::ArchiveFormat::Flac : archive::ArchiveFormat::Wave, options.verify,
                                     options.replace};
    StandardStreams console;
    platform::CatchStopRequests();
    const int status = archive::RunArchive(run, platform::RealFileSystem(), console);
    return status == kExitInterrupted ? Interrupted() : status;
}

}  // namespace cli
