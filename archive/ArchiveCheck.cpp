#include "archive/ArchiveCheck.h"

#include "archive/ArchiveFiles.h"
#include "archive/ArchiveManifest.h"
#include "archive/ArchiveProgress.h"
#include "archive/ArchiveSurvey.h"
#include "archive/ArchiveVerify.h"
#include "archive/LostSamples.h"
#include "platform/Files.h"
#include "platform/Interruption.h"
#include "platform/Sha256.h"

namespace archive {

namespace {

constexpr int kExitHolds = 0;
constexpr int kExitMismatch = 1;
constexpr int kExitNoArchive = 2;

class Checker {
public:
    Checker(const std::string& outdir, platform::FileSystem& files, ArchiveConsole& console)
        : m_outdir(outdir),
          m_files(files),
          m_console(console),
          m_copies(platform::JoinPath(outdir, kDiskCopyFolder)),
          m_progress(console.CreateProgressWindow())
    {
    }

    int Run()
    {
        const auto text = ReadWholeFile(m_files, platform::JoinPath(m_outdir, kManifestName));
        const auto earlier = text ? ParseManifest(*text) : std::nullopt;
        if (!earlier) {
            m_console.Warn("check: " + m_outdir + " holds no archive (no manifest.json written by this program)");
            return kExitNoArchive;
        }
        m_earlier = *earlier;
        if (!m_earlier.complete)
            Mismatch(std::string(kManifestName) + ": the archive is incomplete (its last run stopped)");
        BuildRecord();
        m_progress.SetTotal(PlannedWork());
        CheckChecksumList();
        CheckRescueMap();
        SilencedReads decoding(m_files, SilencedBytes(m_survey, m_earlier.damagedDiskFiles));
        const auto found =
            VerifyArchive(m_files, m_progress, VerifyJob{m_copies, m_outdir, &m_survey, &m_record, &decoding});
        m_mismatches.insert(m_mismatches.end(), found.mismatches.begin(), found.mismatches.end());
        for (const auto& mismatch : m_mismatches)
            m_console.Warn("check: " + mismatch);
        if (found.stopped) {
            m_console.Warn("check stopped: stopped on request before every file was checked");
            return platform::kInterruptedExitStatus;
        }
        m_console.Warn("checked " + std::to_string(ManifestFiles().size()) +
                       " files; mismatches: " + std::to_string(m_mismatches.size()));
        return m_mismatches.empty() ? kExitHolds : kExitMismatch;
    }

private:
    void Mismatch(const std::string& text) { m_mismatches.push_back(text); }

    // The record --verify checks: the manifest's files, the tracks laid out as a survey
    // of the copies finds them. A track file the copies do not hold is a mismatch.
    void BuildRecord()
    {
        m_survey = SurveyDisk(m_files, m_copies);
        m_record.format = m_earlier.format;
        for (const auto& [name, copy] : m_earlier.diskFiles)
            m_record.diskFiles.push_back(DiskFileRecord{name, copy, std::nullopt});
        for (auto& disk : m_record.diskFiles) {
            if (const auto damaged = m_earlier.damagedDiskFiles.find(disk.name); damaged != m_earlier.damagedDiskFiles.end())
                disk.unreadable = damaged->second;
        }
        auto outputs = m_earlier.outputs;
        for (const auto& project : m_survey.projects) {
            auto& records = m_record.tracks.emplace_back(project.tracks.size());
            for (std::size_t t = 0; t < project.tracks.size(); ++t) {
                const TrackFacts& track = project.tracks[t];
                const auto output = outputs.find(
                    RelativePath(project.folder, TrackOutputName(track.track, track.virtualTrack, m_record.format)));
                if (project.refusal || track.refusal || output == outputs.end())
                    continue;
                records[t].output = output->second.file;
                records[t].fileSamples = output->second.fileSamples;
                outputs.erase(output);
            }
        }
        for (const auto& [file, output] : outputs)
            Mismatch(file + ": the copies in " + kDiskCopyFolder + "/ hold no such track");
    }

    // rescue-map.json against the manifest's unreadable ranges; a note of what the disk
    // could not give, which a later archive run on the disk retries.
    void CheckRescueMap()
    {
        const auto& damage = m_earlier.damagedDiskFiles;
        const auto text = ReadWholeFile(m_files, platform::JoinPath(m_outdir, kRescueMapName));
        const auto map = text ? ParseRescueMap(*text) : std::nullopt;
        if (text && !map)
            Mismatch(std::string(kRescueMapName) + ": not a rescue map this program wrote");
        else if (!text && !damage.empty())
            Mismatch(std::string(kRescueMapName) + ": missing, although the manifest lists unreadable ranges");
        else if (map && *map != damage)
            Mismatch(std::string(kRescueMapName) + ": lists other unreadable ranges than the manifest");
        if (damage.empty())
            return;
        std::uint64_t lost = 0;
        for (const auto& [name, ranges] : damage) {
            for (const auto& range : ranges)
                lost += range.length;
        }
        m_console.Warn("check: " + std::to_string(lost) + " bytes of " + std::to_string(damage.size()) +
                       " disk files could not be read from the disk (" + kRescueMapName +
                       "); the tracks are silent there, and an archive run on the disk reads them again");
    }

    // Every file the manifest lists, by its path, with its checksum.
    std::map<std::string, std::string> ManifestFiles() const
    {
        std::map<std::string, std::string> sums;
        for (const auto& [name, copy] : m_earlier.diskFiles)
            sums[copy.file] = copy.sha256;
        for (const auto& [file, output] : m_earlier.outputs)
            sums[file] = output.file.sha256;
        return sums;
    }

    // The bytes the check of the manifest reads, as it counts them.
    std::uint64_t PlannedWork() const
    {
        std::uint64_t work = 0;
        for (const auto& disk : m_record.diskFiles)
            work += disk.copy->size;
        for (std::size_t p = 0; p < m_survey.projects.size(); ++p) {
            for (std::size_t t = 0; t < m_survey.projects[p].tracks.size(); ++t)
                work += m_record.tracks[p][t].fileSamples *
                        static_cast<std::uint64_t>(m_survey.projects[p].tracks[t].bytesPerSample);
        }
        return work;
    }

    // SHA256SUMS against the manifest: a file both list with one checksum is read once,
    // by the check of the manifest; one that SHA256SUMS alone lists is read here.
    void CheckChecksumList()
    {
        const auto text = ReadWholeFile(m_files, platform::JoinPath(m_outdir, kChecksumListName));
        if (!text) {
            Mismatch(std::string(kChecksumListName) + ": missing or unreadable");
            return;
        }
        const ChecksumListing listing = ParseChecksumList(*text);
        for (const std::size_t line : listing.badLines)
            Mismatch(std::string(kChecksumListName) + ": line " + std::to_string(line) + " is not \"SHA-256  FILE\"");
        const auto manifest = ManifestFiles();
        for (const auto& [file, sum] : listing.sums) {
            const auto listed = manifest.find(file);
            if (listed == manifest.end())
                CheckUnlisted(file, sum);
            else if (listed->second != sum)
                Mismatch(file + ": SHA256SUMS and the manifest give different checksums");
        }
        for (const auto& [file, sum] : manifest) {
            if (!listing.sums.contains(file))
                Mismatch(file + ": not in SHA256SUMS");
        }
    }

    void CheckUnlisted(const std::string& file, const std::string& sum)
    {
        Mismatch(file + ": not in the manifest");
        const auto actual = platform::Sha256OfFile(m_files, PathInArchive(m_outdir, file));
        if (actual != sum)
            Mismatch(file + (actual ? ": its SHA-256 differs from SHA256SUMS" : ": cannot be read"));
    }

    const std::string& m_outdir;
    platform::FileSystem& m_files;
    ArchiveConsole& m_console;
    std::string m_copies;
    ArchiveProgress m_progress;
    EarlierRun m_earlier;
    DiskSurvey m_survey;
    ArchiveRecord m_record;
    std::vector<std::string> m_mismatches;
};

}  // namespace

int CheckArchive(const std::string& outdir, platform::FileSystem& files, ArchiveConsole& console)
{
    return Checker(outdir, files, console).Run();
}

}  // namespace archive
