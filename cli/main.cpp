// wavelorn-cli: lists, exports and imports the projects of a recorder disk from
// the command line, archives a whole disk, and writes a demo disk to try the tool on.

#include "cli/Commands.h"
#include "cli/HelpFormatter.h"
#include "platform/Files.h"
#include "platform/Version.h"
#include "recorder/Records.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

int Run(int argc, char** argv)
{
    // Named, so that help and usage lines read "wavelorn-cli" whatever path started it.
    CLI::App app{"Moves audio between a recorder disk (a folder of the recorder's files) and WAVE/AIFF/FLAC files.",
                 "wavelorn-cli"};
    app.formatter(std::make_shared<cli::HelpFormatter>());  // before the commands, which take it over
    app.require_subcommand(1);
    // A path such as /tmp/disk is a path, not a Windows-style /option.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("wavelorn-cli ") + kProgramVersion);
    app.set_help_all_flag("--help-all", "Print this help with the options of every command and exit");

    cli::ListOptions listOptions;
    auto* list = app.add_subcommand(
        "list", "List the projects of a disk: NN : NAME, rate, bits; then those waiting for the recorder (pending).");
    list->add_option("DISK", listOptions.disk, "Folder holding the recorder's files")->required();
    list->add_flag("--tracks", listOptions.tracks,
                   "Under each project, its recorded tracks: T:V, end in seconds, number of segments");

    cli::ExportOptions exportOptions;
    auto* exportCommand = app.add_subcommand("export", "Export tracks of a project to WAVE, AIFF or FLAC files.");
    exportCommand->add_option("DISK", exportOptions.disk, "Folder holding the recorder's files")->required();
    exportCommand->add_option("--project", exportOptions.project, "Project number as listed (5 or 05)")->required();
    exportCommand->add_option("--tracks", exportOptions.tracks, "Tracks T or T:V (virtual track V, default 1), comma-separated")
        ->required();
    exportCommand->add_flag("--stereo", exportOptions.stereo, "One file with the tracks as channels (at most two)");
    exportCommand->add_option("--type", exportOptions.type, "WAVE, AIFF or FLAC; by default AIFF for an --out ending in .aif or .aiff, FLAC for .flac, else WAVE");
    exportCommand->add_option("--out", exportOptions.out, "Output file name, as typed into the save dialog")->required();
    exportCommand->add_flag("--yes", exportOptions.yes, "Replace existing files; without it, an export that would replace one fails naming it");

    cli::ImportOptions importOptions;
    auto* importCommand = app.add_subcommand("import", "Import up to eight mono WAVE/AIFF files as a new project.");
    importCommand->add_option("DISK", importOptions.disk, "Folder holding the recorder's files")->required();
    importCommand->add_option("--name", importOptions.name, "Project name (at most 12 characters)");
    importCommand->add_option("FILES", importOptions.files, "FILE1 [FILE2 ... FILE8]; - leaves a track empty")
        ->required()
        ->expected(1, static_cast<int>(kTrackCount));

    cli::ArchiveCommandOptions archiveOptions;
    auto* archive = app.add_subcommand("archive", "Archive a whole disk: every track, the disk's own files, a manifest.");
    archive->add_option("DISK", archiveOptions.disk, "Folder holding the recorder's files (with --check: OUTDIR)");
    archive->add_option("OUTDIR", archiveOptions.outdir, "Folder to archive into (created when missing)");
    auto* format = archive->add_option("--format", archiveOptions.format, "wav (default) or flac")
                       ->check(CLI::IsMember({"wav", "flac"}));
    auto* verify = archive->add_flag("--verify", archiveOptions.verify,
                                     "Read every written file back and check it against the disk");
    auto* replace = archive->add_flag("--replace", archiveOptions.replace,
                                      "When OUTDIR holds an archive of other disk contents, move it into "
                                      "OUTDIR/previous-<date>/ and archive anew");
    archive->add_flag("--check", archiveOptions.check,
                      "archive --check OUTDIR: check an archive without its disk, against SHA256SUMS, its "
                      "manifest and a fresh decode of its copies in OUTDIR/disk/")
        ->excludes(format)
        ->excludes(verify)
        ->excludes(replace);
    archive->footer("A failing disk loses sectors, not files: what cannot be read is read again in 4 KiB pieces, "
                    "what stays unreadable is zero in OUTDIR/disk/, listed in OUTDIR/rescue-map.json and the "
                    "manifest, and silent in the tracks (each span named). Running the same command again reads "
                    "only those ranges, and redoes only the tracks they touch.");

    std::string demoFolder;
    auto* demo = app.add_subcommand("demo", "Write a demo recorder disk into a folder.");
    demo->add_option("DIR", demoFolder, "Folder to write the demo disk into (created when missing)")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& success) {
        return app.exit(success);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return cli::kExitUsage;
    }

    if (list->parsed())
        return cli::ListCommand(listOptions);
    if (exportCommand->parsed())
        return cli::ExportCommand(exportOptions);
    if (importCommand->parsed())
        return cli::ImportCommand(importOptions);
    if (archive->parsed())
        return cli::ArchiveCommand(archiveOptions);
    return cli::DemoCommand(demoFolder);
}

}  // namespace

#ifdef _WIN32
// The wide command line (-municode): each argument becomes UTF-8, as the rest of the
// program takes paths, whatever the console's code page.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(platform::Utf8FromPath(std::filesystem::path(argv[i])));
    std::vector<char*> pointers;
    for (auto& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return Run(argc, pointers.data());
}
#else
int main(int argc, char** argv)
{
    return Run(argc, argv);
}
#endif
