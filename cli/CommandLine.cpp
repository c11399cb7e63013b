#include "cli/CommandLine.h"

#include "cli/HelpFormatter.h"
#include "convert/ImportConversion.h"
#include "export/Factory.h"
#include "platform/Version.h"
#include "recorder/Records.h"

#include <algorithm>
#include <memory>
#include <sstream>

namespace cli {

namespace {

// The type name of every option and positional whose value is a path.
constexpr const char* kPathType = "PATH";
constexpr const char* kDiskHelp = "Folder holding the recorder's files";
// What a set of choices adds to a type name: "TEXT:{wav,flac}".
constexpr char kChoicesOpen = '{';
constexpr char kChoicesClose = '}';
constexpr char kChoicesSeparator = ',';

std::vector<std::string> ExportTypeNames()
{
    std::vector<std::string> names;
    for (const auto& type : SoundFileTypes())
        names.emplace_back(type.typeName);
    return names;
}

// -q/--quiet and --verbose, on every command; --json on those with a result.
void AddOutputOptions(CLI::App* command, CommandLineValues& values, bool json)
{
    command->add_flag("-q,--quiet", values.quiet, "Print only errors on standard error");
    command->add_flag("--verbose", values.verbose, "Print each step on standard error (not with --quiet)");
    if (json)
        command->add_flag("--json", values.json,
                          "Print the result as one JSON document on standard output, also when the run fails");
}

CLI::App* AddCommand(CLI::App& app, const std::string& name, const std::string& description)
{
    auto* command = app.add_subcommand(name, description);
    // Options of the program (--version) are taken after the command's name too.
    command->fallthrough();
    return command;
}

void DefineList(CLI::App& app, CommandLineValues& values)
{
    auto* list = AddCommand(
        app, "list", "List the projects of a disk: NN : NAME, rate, bits; then those waiting for the recorder (pending).");
    list->add_option("DISK", values.list.disk, kDiskHelp)->required()->type_name(kPathType);
    list->add_flag("-t,--tracks", values.list.tracks,
                   "Under each project, its recorded tracks: T:V, end in seconds, number of segments");
    AddOutputOptions(list, values, true);
}

void DefineExport(CLI::App& app, CommandLineValues& values)
{
    ExportOptions& options = values.exportOptions;
    auto* command = AddCommand(app, "export", "Export tracks of a project to WAVE, AIFF or FLAC files.");
    command->add_option("DISK", options.disk, kDiskHelp)->required()->type_name(kPathType);
    command->add_option("-p,--project", options.project, "Project number as listed (5 or 05)")->required();
    command->add_option("-t,--tracks", options.tracks,
                        "Tracks T or T:V (virtual track V, default 1), comma-separated; all (or all:V): every "
                        "track recorded on virtual track 1 (or V)")
        ->required();
    command->add_flag("--stereo", options.stereo, "One file with the tracks as channels (at most two)");
    command->add_option("--type", options.type,
                        "File type, in any letter case; by default AIFF for an --out ending in .aif or .aiff, FLAC for .flac, "
                        "else WAVE")
        ->transform(CLI::IsMember(ExportTypeNames(), CLI::ignore_case));
    command->add_option("-o,--out", options.out, "Output file name, as typed into the save dialog")
        ->required()
        ->type_name(kPathType);
    command->add_flag("-y,--yes", options.yes, "Replace existing files; without it, an export that would replace one fails naming it");
    AddOutputOptions(command, values, true);
}

void DefineImport(CLI::App& app, CommandLineValues& values)
{
    ImportOptions& options = values.import;
    auto* command =
        AddCommand(app, "import", "Import up to eight sound files as a new project, converting those not at its format.");
    command->add_option("DISK", options.disk, kDiskHelp)->required()->type_name(kPathType);
    command->add_option("--name", options.name, "Project name (at most 12 characters)");
    command->add_option("--rate", options.rate, "Project rate in Hz: 32000, 44100 or 48000")
        ->check(CLI::IsMember(convert::ProjectRates()));
    command->add_option("--bits", options.bits, "Project word length: 16, 20 or 24")
        ->check(CLI::IsMember(convert::ProjectWordLengths()));
    command->add_flag("--no-dither", options.noDither,
                      "Round to the word length without dither (exact copies never get any)");
    command->add_option("SOURCE", options.files,
                        "FILE1 [FILE2 ... FILE8] (- leaves a track empty), or numbered: N=FILE, "
                        "N=FILE:left|right|mix, N,M=FILE (a stereo file onto two tracks)")
        ->required()
        ->expected(1, static_cast<int>(kTrackCount))
        ->type_name(kPathType);
    command->footer(
        "Without --rate and --bits the project takes the format of the lowest-numbered source when the import "
        "takes that file as it is (mono WAVE/AIFF, 16/20/24 bit, a recorder rate); otherwise 44.1 kHz for "
        "sources of the 11.025 kHz family, 32 kHz for 32 kHz, 48 kHz for the rest, and the source's word length "
        "when it is 16, 20 or 24 bit, else 24. Sources not at the project's format (stereo, float, FLAC, other "
        "rates and word lengths) are converted first: one channel (:mix is the mean of the two), resampled, "
        "reduced with dither; the import says what it chose. Numbered sources may leave Track 1 empty.");
    AddOutputOptions(command, values, true);
}

void DefineArchive(CLI::App& app, CommandLineValues& values)
{
    ArchiveCommandOptions& options = values.archive;
    auto* archive = AddCommand(app, "archive", "Archive a whole disk: every track, the disk's own files, a manifest.");
    archive->add_option("DISK", options.disk, "Folder holding the recorder's files (with --check: OUTDIR)")
        ->type_name(kPathType);
    archive->add_option("OUTDIR", options.outdir, "Folder to archive into (created when missing)")->type_name(kPathType);
    auto* format = archive->add_option("--format", options.format, "wav (default) or flac, in any letter case")
                       ->transform(CLI::IsMember({"wav", "flac"}, CLI::ignore_case));
    auto* verify =
        archive->add_flag("--verify", options.verify, "Read every written file back and check it against the disk");
    auto* replace = archive->add_flag("--replace", options.replace,
                                      "When OUTDIR holds an archive of other disk contents, move it into "
                                      "OUTDIR/previous-<date>/ and archive anew");
    archive->add_flag("--check", options.check,
                      "archive --check OUTDIR: check an archive without its disk, against SHA256SUMS, its "
                      "manifest and a fresh decode of its copies in OUTDIR/disk/")
        ->excludes(format)
        ->excludes(verify)
        ->excludes(replace);
    AddOutputOptions(archive, values, true);
    archive->footer("A failing disk loses sectors, not files: what cannot be read is read again in 4 KiB pieces, "
                    "what stays unreadable is zero in OUTDIR/disk/, listed in OUTDIR/rescue-map.json and the "
                    "manifest, and silent in the tracks (each span named). Running the same command again reads "
                    "only those ranges, and redoes only the tracks they touch.");
}

void DefineDemo(CLI::App& app, CommandLineValues& values)
{
    auto* demo = AddCommand(app, "demo", "Write a demo recorder disk into a folder.");
    demo->add_option("DIR", values.demoFolder, "Folder to write the demo disk into (created when missing)")
        ->required()
        ->type_name(kPathType);
    AddOutputOptions(demo, values, false);
}

void DefineHelp(CLI::App& app, CommandLineValues& values)
{
    auto* help = AddCommand(app, "help", "Print this help, or the help of COMMAND, and exit.");
    help->add_option("COMMAND", values.helpTopic, "The command whose options to print");
}

}  // namespace

void DefineCommands(CLI::App& app, CommandLineValues& values)
{
    app.formatter(std::make_shared<HelpFormatter>());  // before the commands, which take it over
    app.require_subcommand(1);
    // A path such as /tmp/disk is a path, not a Windows-style /option.
    app.allow_windows_style_options(false);
    app.set_version_flag("-v,--version", std::string(kProgramName) + " " + kProgramVersion);
    app.set_help_all_flag("--help-all", "Print this help with the options of every command and exit");
    DefineList(app, values);
    DefineExport(app, values);
    DefineImport(app, values);
    DefineArchive(app, values);
    DefineDemo(app, values);
    DefineHelp(app, values);
}

const CLI::App* ChosenCommand(const CLI::App& app)
{
    for (const CLI::App* command : app.get_subcommands({})) {
        if (command->parsed())
            return command;
    }
    return nullptr;
}

std::vector<const CLI::App*> VisibleCommands(const CLI::App& app)
{
    return app.get_subcommands([](const CLI::App* command) { return !command->get_group().empty(); });
}

std::vector<const CLI::Option*> VisibleOptions(const CLI::App& command)
{
    return command.get_options([](const CLI::Option* option) { return !option->get_group().empty(); });
}

std::vector<std::string> OptionNames(const CLI::Option& option)
{
    std::vector<std::string> names;
    for (const auto& name : option.get_lnames())
        names.push_back("--" + name);
    for (const auto& name : option.get_snames())
        names.push_back("-" + name);
    return names;
}

std::vector<std::string> OptionChoices(const CLI::Option& option)
{
    const std::string type = option.get_type_name();
    const auto open = type.find(kChoicesOpen);
    const auto close = type.rfind(kChoicesClose);
    std::vector<std::string> choices;
    if (open == std::string::npos || close == std::string::npos || close < open)
        return choices;
    std::istringstream items(type.substr(open + 1, close - open - 1));
    for (std::string item; std::getline(items, item, kChoicesSeparator);)
        choices.push_back(item);
    return choices;
}

bool TakesPath(const CLI::Option& option)
{
    return option.get_type_name() == kPathType;
}

}  // namespace cli
