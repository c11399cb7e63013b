#include "archive/ArchiveManifest.h"

#include "export/ProjectList.h"
#include "platform/Files.h"
#include "platform/Sha256.h"
#include "recorder/Formats.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <limits>

namespace archive {

namespace {

using json = nlohmann::ordered_json;

constexpr const char* kProgramName = "wavelorn-cli";
constexpr int kIndent = 2;
constexpr std::size_t kSha256HexDigits = 64;
constexpr const char* kChecksumSeparator = "  ";
constexpr char kRelativeSeparator = '/';
constexpr char kLineEnd = '\n';

std::string JsonText(const json& value)
{
    return value.dump(kIndent, ' ', false, json::error_handler_t::replace) + kLineEnd;
}

void AddFile(json& entry, const FileRecord& file)
{
    entry["file"] = file.file;
    entry["size"] = file.size;
    entry["sha256"] = file.sha256;
}

json SegmentJson(const SegmentFacts& segment)
{
    return {{"startGroup", segment.startGroup},
            {"lengthGroups", segment.lengthGroups},
            {"leadInGroups", segment.leadInGroups},
            {"dataFile", segment.dataFile},
            {"dataFileFound", segment.dataFileFound}};
}

json SilentJson(const std::vector<SilentSpan>& spans)
{
    json list = json::array();
    for (const auto& span : spans)
        list.push_back({{"first", span.first},
                        {"samples", span.samples},
                        {"dataFile", span.dataFile},
                        {"offset", span.bytes.offset},
                        {"length", span.bytes.length}});
    return list;
}

// `rate` is null when the project's rate cannot be exported.
json TrackJson(const TrackFacts& facts, const TrackRecord* record, const RateFormat* rate)
{
    json entry = {{"track", facts.track}, {"virtualTrack", facts.virtualTrack}, {"segments", json::array()}};
    for (const auto& segment : facts.segments)
        entry["segments"].push_back(SegmentJson(segment));
    entry["samples"] = facts.endPosition;
    entry["duration"] = rate ? json(static_cast<double>(facts.endPosition) / rate->hz) : json();
    if (!record)
        return entry;
    if (record->output) {
        AddFile(entry, *record->output);
        entry["fileSamples"] = record->fileSamples;
    }
    if (record->error)
        entry["error"] = *record->error;
    entry["warnings"] = record->warnings;
    // Only a track silenced in part has the field, so that an undamaged disk's manifest stays as it was.
    if (!record->silent.empty())
        entry["silent"] = SilentJson(record->silent);
    return entry;
}

json ProjectJson(const ProjectFacts& project, const std::vector<TrackRecord>& records)
{
    const auto rate = RateOfCode(project.record.sampleRate);
    const auto exportable = rate && rate->exportable ? rate : std::nullopt;
    const auto width = WordLengthOfCode(project.record.wordLength);
    json entry = {{"number", project.record.projectNumber},
                  {"name", Latin1ToUtf8(SongNameOf(project.record))},
                  {"nameBytes", platform::HexText(project.rawName.data(), project.rawName.size())},
                  {"folder", project.folder},
                  {"rateCode", project.record.sampleRate},
                  {"rate", exportable ? json(exportable->hz) : json()},
                  {"wordLengthCode", project.record.wordLength},
                  {"bits", width ? json(width->bits) : json()},
                  {"tracks", json::array()}};
    if (project.refusal)
        entry["error"] = Explain(*project.refusal);
    for (std::size_t i = 0; i < project.tracks.size(); ++i)
        entry["tracks"].push_back(TrackJson(project.tracks[i], i < records.size() ? &records[i] : nullptr,
                                            exportable ? &*exportable : nullptr));
    return entry;
}

json UnreadableJson(const std::vector<UnreadableRange>& ranges)
{
    json list = json::array();
    for (const auto& range : ranges)
        list.push_back({{"offset", range.offset}, {"length", range.length}, {"tries", range.tries}});
    return list;
}

json DiskFileJson(const DiskFileRecord& record)
{
    json entry = {{"name", record.name}};
    if (record.copy)
        AddFile(entry, *record.copy);
    if (record.error)
        entry["error"] = *record.error;
    // Only a damaged copy has the field, so that the manifest of an undamaged disk stays as it was.
    if (!record.unreadable.empty())
        entry["unreadable"] = UnreadableJson(record.unreadable);
    return entry;
}

// Every file the record lists, in the manifest's order.
std::vector<const FileRecord*> WrittenFiles(const ArchiveRecord& record)
{
    std::vector<const FileRecord*> files;
    for (const auto& disk : record.diskFiles) {
        if (disk.copy)
            files.push_back(&*disk.copy);
    }
    for (const auto& project : record.tracks) {
        for (const auto& track : project) {
            if (track.output)
                files.push_back(&*track.output);
        }
    }
    return files;
}

bool IsSha256Hex(const std::string& text)
{
    return text.size() == kSha256HexDigits &&
           text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// The whole number `entry` holds under `key`; nothing when it holds none there (a
// fraction or a number out of range converted would be undefined).
std::optional<std::uint64_t> CountOf(const json& entry, const char* key)
{
    if (!entry.contains(key) || !entry.at(key).is_number_unsigned())
        return std::nullopt;
    return entry.at(key).get<std::uint64_t>();
}

std::optional<FileRecord> FileOf(const json& entry)
{
    const auto size = CountOf(entry, "size");
    if (!entry.contains("file") || !size || !entry.contains("sha256"))
        return std::nullopt;
    FileRecord file{entry.at("file").get<std::string>(), *size,
                    entry.at("sha256").get<std::string>()};
    if (!IsArchivePath(file.file) || !IsSha256Hex(file.sha256))
        return std::nullopt;
    return file;
}

std::optional<ArchiveFormat> FormatOf(const std::string& extension)
{
    for (const ArchiveFormat format : {ArchiveFormat::Wave, ArchiveFormat::Flac}) {
        if (FormatExtension(format) == extension)
            return format;
    }
    return std::nullopt;
}

// The unreadable ranges listed for a copy of `size` bytes; nothing when one is not a
// whole-number range after the one before it and within the copy.
std::optional<std::vector<UnreadableRange>> UnreadableOf(const json& disk, std::uint64_t size)
{
    std::vector<UnreadableRange> ranges;
    std::uint64_t end = 0;
    for (const auto& entry : disk.value("unreadable", json::array())) {
        const auto offset = CountOf(entry, "offset");
        const auto length = CountOf(entry, "length");
        const auto tries = CountOf(entry, "tries");
        if (!offset || !length || !tries || *offset < end || *offset > size || *length == 0 ||
            *length > size - *offset)
            return std::nullopt;
        end = *offset + *length;
        ranges.push_back({*offset, *length,
                          static_cast<int>(std::min<std::uint64_t>(*tries, std::numeric_limits<int>::max()))});
    }
    return ranges;
}

void AddDiskFile(EarlierRun& earlier, const json& disk)
{
    const std::string name = disk.at("name").get<std::string>();
    const auto copy = FileOf(disk);
    const auto unreadable = copy ? UnreadableOf(disk, copy->size) : std::nullopt;
    if (!unreadable) {
        earlier.uncopiedDiskFiles.insert(name);
        return;
    }
    earlier.diskFiles[name] = *copy;
    if (!unreadable->empty())
        earlier.damagedDiskFiles[name] = *unreadable;
}

std::optional<EarlierRun> EarlierRunOf(const json& manifest)
{
    const auto format = FormatOf(manifest.at("format").get<std::string>());
    if (!format)
        return std::nullopt;
    EarlierRun earlier;
    earlier.version = manifest.at("version").get<std::string>();
    earlier.date = manifest.at("date").get<std::string>();
    earlier.format = *format;
    earlier.complete = manifest.at("complete").get<bool>();
    for (const auto& disk : manifest.at("diskFiles"))
        AddDiskFile(earlier, disk);
    for (const auto& project : manifest.at("projects")) {
        earlier.projectFolders.push_back(project.at("folder").get<std::string>());
        for (const auto& track : project.at("tracks")) {
            if (const auto file = FileOf(track))
                earlier.outputs[file->file] = {*file, CountOf(track, "fileSamples").value_or(0),
                                               track.value("warnings", std::vector<std::string>{})};
        }
    }
    return earlier;
}

// One line of SHA256SUMS into `listing`; false when it is not of the form written.
bool AddChecksumLine(const std::string& line, ChecksumListing& listing)
{
    const std::size_t separator = std::string(kChecksumSeparator).size();
    if (line.size() <= kSha256HexDigits + separator || line.compare(kSha256HexDigits, separator, kChecksumSeparator) != 0)
        return false;
    const std::string sum = line.substr(0, kSha256HexDigits);
    const std::string file = line.substr(kSha256HexDigits + separator);
    return IsSha256Hex(sum) && IsArchivePath(file) && listing.sums.emplace(file, sum).second;
}

}  // namespace

std::string ManifestText(const DiskSurvey& survey, const ArchiveRecord& record)
{
    json manifest = {{"program", kProgramName},
                     {"version", record.version},
                     {"date", record.date},
                     {"format", FormatExtension(record.format)},
                     {"complete", record.complete},
                     {"diskFiles", json::array()},
                     {"projects", json::array()},
                     {"warnings", record.warnings},
                     {"leftOut", record.leftOut}};
    for (const auto& disk : record.diskFiles)
        manifest["diskFiles"].push_back(DiskFileJson(disk));
    static const std::vector<TrackRecord> kNotDone;
    for (std::size_t i = 0; i < survey.projects.size(); ++i)
        manifest["projects"].push_back(
            ProjectJson(survey.projects[i], i < record.tracks.size() ? record.tracks[i] : kNotDone));
    return JsonText(manifest);
}

std::string RescueMapText(const ArchiveRecord& record)
{
    json map = {{"program", kProgramName}, {"version", record.version}, {"files", json::array()}};
    for (const auto& disk : record.diskFiles) {
        if (disk.copy && !disk.unreadable.empty())
            map["files"].push_back({{"name", disk.name},
                                    {"copy", disk.copy->file},
                                    {"size", disk.copy->size},
                                    {"unreadable", UnreadableJson(disk.unreadable)}});
    }
    return JsonText(map);
}

std::string ChecksumList(const ArchiveRecord& record)
{
    std::string list;
    for (const FileRecord* file : WrittenFiles(record))
        list += file->sha256 + kChecksumSeparator + file->file + kLineEnd;
    return list;
}

std::optional<EarlierRun> ParseManifest(const std::string& text)
{
    try {
        const json manifest = json::parse(text);
        if (manifest.value("program", std::string()) != kProgramName)
            return std::nullopt;
        return EarlierRunOf(manifest);
    } catch (const json::exception&) {
        return std::nullopt;
    }
}

std::optional<DamageMap> ParseRescueMap(const std::string& text)
{
    try {
        const json map = json::parse(text);
        if (map.value("program", std::string()) != kProgramName)
            return std::nullopt;
        DamageMap damage;
        for (const auto& file : map.at("files")) {
            const auto size = CountOf(file, "size");
            const auto unreadable = size ? UnreadableOf(file, *size) : std::nullopt;
            if (!unreadable)
                return std::nullopt;
            damage[file.at("name").get<std::string>()] = *unreadable;
        }
        return damage;
    } catch (const json::exception&) {
        return std::nullopt;
    }
}

std::optional<std::string> MarkedIncomplete(const std::string& text)
{
    try {
        json manifest = json::parse(text);
        manifest["complete"] = false;
        return JsonText(manifest);
    } catch (const json::exception&) {
        return std::nullopt;
    }
}

std::string RelativePath(const std::string& folder, const std::string& name)
{
    return folder + kRelativeSeparator + name;
}

std::string PathInArchive(const std::string& outdir, const std::string& relative)
{
    std::string path = relative;
    std::replace(path.begin(), path.end(), kRelativeSeparator, platform::PathSeparator());
    return platform::JoinPath(outdir, path);
}

bool IsArchivePath(const std::string& relative)
{
    std::size_t begin = 0;
    while (true) {
        const std::size_t end = std::min(relative.find(kRelativeSeparator, begin), relative.size());
        const std::string name = relative.substr(begin, end - begin);
        if (name.empty() || name == "." || name == ".." || SafeFileName(name) != name)
            return false;
        if (end == relative.size())
            return true;
        begin = end + 1;
    }
}

ChecksumListing ParseChecksumList(const std::string& text)
{
    ChecksumListing listing;
    std::size_t number = 0;
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t end = std::min(text.find(kLineEnd, begin), text.size());
        ++number;
        if (!AddChecksumLine(text.substr(begin, end - begin), listing))
            listing.badLines.push_back(number);
        begin = end + 1;
    }
    return listing;
}

}  // namespace archive
