#include "archive/ArchiveVerify.h"

#include "archive/TrackSamples.h"
#include "convert/FlacFile.h"
#include "convert/SampleWords.h"
#include "export/ExportProgress.h"
#include "import/PCWaveFile.h"
#include "platform/Files.h"
#include "platform/Sha256.h"
#include "recorder/Formats.h"
#include "recorder/Track.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace archive {

namespace {

// The samples of an output file, read in order as full-scale 32-bit values.
class OutputSamples {
public:
    virtual ~OutputSamples() = default;
    // Reads exactly `count` samples; false when the file holds fewer or cannot be read.
    virtual bool Read(std::int32_t* samples, std::size_t count) = 0;
    // True when every sample of the file has been read.
    virtual bool AtEnd() const = 0;
};

class WaveSamples : public OutputSamples {
public:
    WaveSamples(std::unique_ptr<platform::ByteSource> source, const CPCWaveFile& header, std::size_t width)
        : m_source(std::move(source)),
          m_position(header.GetDataOffset()),
          m_end(m_position + header.GetDataSize()),
          m_width(width)
    {
    }

    bool Read(std::int32_t* samples, std::size_t count) override
    {
        const std::size_t bytes = count * m_width;
        m_bytes.resize(bytes);
        if (m_position + bytes > m_end || !m_source->ReadExactly(m_position, m_bytes.data(), bytes))
            return false;
        convert::LittleEndianToInt32(m_bytes.data(), m_width, count, samples);
        m_position += bytes;
        return true;
    }

    bool AtEnd() const override { return m_position == m_end; }

private:
    std::unique_ptr<platform::ByteSource> m_source;
    std::uint64_t m_position;
    std::uint64_t m_end;
    std::size_t m_width;
    std::vector<std::uint8_t> m_bytes;
};

class FlacSamples : public OutputSamples {
public:
    explicit FlacSamples(std::unique_ptr<platform::ByteSource> source)
        : m_source(std::move(source)), m_reader(*m_source)
    {
    }

    bool IsOpen() const { return m_reader.IsOpen() && m_reader.Channels() == 1; }

    bool Read(std::int32_t* samples, std::size_t count) override
    {
        const bool complete = m_reader.Read(samples, count) == count;
        m_read += count;
        return complete;
    }

    bool AtEnd() const override { return m_read == m_reader.Frames(); }

private:
    std::unique_ptr<platform::ByteSource> m_source;
    convert::FlacReader m_reader;
    std::uint64_t m_read = 0;
};

class Verifier {
public:
    Verifier(platform::FileSystem& files, ArchiveProgress& progress, const VerifyJob& job)
        : m_files(files), m_progress(progress), m_job(job)
    {
    }

    VerifyOutcome Run()
    {
        for (const auto& disk : m_job.record->diskFiles) {
            if (disk.copy && !Stopped())
                CheckRawCopy(*disk.copy);
        }
        const auto& projects = m_job.survey->projects;
        for (std::size_t p = 0; p < projects.size() && p < m_job.record->tracks.size(); ++p) {
            for (std::size_t t = 0; t < projects[p].tracks.size(); ++t) {
                const TrackRecord& track = m_job.record->tracks[p][t];
                if (track.output && !Stopped())
                    CheckOutput(projects[p], projects[p].tracks[t], track);
            }
        }
        return {m_mismatches, m_stopped};
    }

private:
    // True once the window asked to stop; the check then reads nothing more.
    bool Stopped()
    {
        m_stopped = m_stopped || m_progress.StopRequested();
        return m_stopped;
    }

    std::string PathOf(const FileRecord& file) const { return PathInArchive(m_job.outdir, file.file); }

    void Mismatch(const FileRecord& file, const std::string& what) { m_mismatches.push_back(file.file + ": " + what); }

    // True when the file's checksum is the recorded one.
    bool CheckSum(const FileRecord& file)
    {
        const auto sum = platform::Sha256OfFile(m_files, PathOf(file));
        if (!sum)
            Mismatch(file, "cannot be read");
        else if (*sum != file.sha256)
            Mismatch(file, "its SHA-256 differs from the manifest's");
        return sum == file.sha256;
    }

    void CheckRawCopy(const FileRecord& file)
    {
        m_progress.BeginItem(file.size);
        CheckSum(file);
        m_progress.EndItem();
    }

    void CheckOutput(const ProjectFacts& project, const TrackFacts& facts, const TrackRecord& record)
    {
        const auto width = static_cast<std::size_t>(project.format->wordLength.bytesPerSample);
        m_progress.BeginItem(record.fileSamples * width);
        const FileRecord& file = *record.output;
        if (CheckSum(file)) {
            if (const auto difference = CompareSamples(project, facts, file, width))
                Mismatch(file, *difference);
        }
        m_progress.EndItem();
    }

    std::unique_ptr<OutputSamples> OpenOutput(const std::string& path, std::size_t width, std::string& refusal)
    {
        auto source = m_files.OpenRead(path);
        if (!source) {
            refusal = "cannot be read";
            return nullptr;
        }
        if (m_job.record->format == ArchiveFormat::Flac) {
            auto flac = std::make_unique<FlacSamples>(std::move(source));
            refusal = flac->IsOpen() ? "" : "not a mono FLAC file libsndfile can read";
            return flac->IsOpen() ? std::move(flac) : nullptr;
        }
        CPCWaveFile header(m_files);
        if (const auto refused = header.ParseHeader(*source)) {
            refusal = "its header is refused: " + Explain(*refused);
            return nullptr;
        }
        return std::make_unique<WaveSamples>(std::move(source), header, width);
    }

    // What differs between the output's samples and a fresh read of the track; nothing
    // when they are equal.
    std::optional<std::string> CompareSamples(const ProjectFacts& project, const TrackFacts& facts,
                                              const FileRecord& file, std::size_t width)
    {
        std::string refusal;
        const auto output = OpenOutput(PathOf(file), width, refusal);
        if (!output)
            return refusal;
        CTrack track(m_job.disk, project.record, facts.track, facts.virtualTrack,
                     m_job.decoding ? *m_job.decoding : m_files);
        if (const auto refusal = track.Open())
            return "the disk cannot be read afresh: " + Explain(*refusal);
        std::optional<std::string> difference;
        std::uint64_t frame = 0;
        ReadExportChunks(track, m_chunk, [&](const std::uint8_t* bytes, std::size_t frames) {
            if (Stopped())
                return false;
            m_expected.resize(frames);
            m_actual.resize(frames);
            convert::BigEndianToInt32(bytes, width, frames, m_expected.data());
            if (!output->Read(m_actual.data(), frames)) {
                difference = "holds fewer samples than the disk delivers";
                return false;
            }
            const auto at = std::mismatch(m_expected.begin(), m_expected.end(), m_actual.begin());
            if (at.first != m_expected.end()) {
                difference = "sample " + std::to_string(frame + (at.first - m_expected.begin())) +
                             " differs from the disk";
                return false;
            }
            frame += frames;
            m_progress.ItemDone(frame * width);
            return true;
        });
        track.Close();
        if (!difference && !m_stopped && !output->AtEnd())
            difference = "holds more samples than the disk delivers";
        return difference;
    }

    platform::FileSystem& m_files;
    ArchiveProgress& m_progress;
    const VerifyJob& m_job;
    std::vector<std::string> m_mismatches;
    bool m_stopped = false;
    std::vector<std::uint8_t> m_chunk;
    std::vector<std::int32_t> m_expected;
    std::vector<std::int32_t> m_actual;
};

}  // namespace

VerifyOutcome VerifyArchive(platform::FileSystem& files, ArchiveProgress& progress, const VerifyJob& job)
{
    return Verifier(files, progress, job).Run();
}

}  // namespace archive
