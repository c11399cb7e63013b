#pragma once
// The conversion stage in front of the import: decides the project's format, which
// sources the import takes as they are and which are converted first, and converts
// those into mono WAVE files at the project's format in a private scratch folder,
// which goes with the stage. What the import then says of a converted file is told
// again of the user's file and channel (Retell), never of the scratch file.

#include "convert/SourceConversion.h"
#include "convert/SourceFormat.h"
#include "platform/FileSystem.h"
#include "platform/TemporaryFile.h"
#include "recorder/Errors.h"
#include "recorder/Records.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class COVFtoWAVEDoc;

namespace convert {

// One track's source as the user named it.
struct SourceRequest {
    std::string name;  // as given, for every message
    std::string path;  // where it is
    Channel channel = Channel::Only;  // Only: no channel named
};

using SourceRequests = std::array<std::optional<SourceRequest>, kTrackCount>;

// What the user asked of the format; nothing: the stage's choice.
struct FormatRequest {
    std::optional<std::uint32_t> rate;
    std::optional<unsigned> bits;
    bool dither = true;
};

// The project format for a source the import cannot take as it is: 44.1 kHz for the
// 11.025 kHz family, 32 kHz for 32 kHz, 48 kHz for the rest; the source's word length
// when it is a recorder's, else 24 bit.
std::uint32_t DefaultRate(std::uint32_t sourceRate);
unsigned DefaultBits(const SourceFormat& source);
// The formats a conversion can make: the recorder's own rates and word lengths, which
// a project can be exported at again.
std::vector<unsigned> ProjectRates();
std::vector<unsigned> ProjectWordLengths();

class ConversionStage {
public:
    explicit ConversionStage(platform::FileSystem& files = platform::RealFileSystem());
    ~ConversionStage();
    ConversionStage(const ConversionStage&) = delete;
    ConversionStage& operator=(const ConversionStage&) = delete;

    // Chooses the project's format from `format` and the lowest-numbered source (a file
    // the import takes as it is gives its own format) and plans each source: taken as it
    // is when it is at the project's format, else converted. A source that cannot be
    // converted as named is refused (a stereo file without a channel, a channel a mono
    // file lacks). A source neither the import nor the converter reads is left to the
    // import's checks, which refuse it as they always did.
    std::optional<Refusal> Plan(const SourceRequests& sources, const FormatRequest& format);

    // The project's format, once planned; nothing when no source gave one.
    const std::optional<TargetFormat>& Format() const { return m_target; }
    // True when a source is converted.
    bool Converts() const;
    // What the plan does, a line each: the project's format, then each converted source
    // ("Track 2: b.wav: 96 kHz stereo float: left channel, resampled to 48 kHz, 24 bit").
    std::vector<std::string> PlanLines() const;
    // The source of track `index` when it is converted, and what its conversion does
    // ("96 kHz stereo float: left channel, resampled to 48 kHz, 24 bit").
    std::optional<SourceFormat> ConvertedSource(std::size_t index) const;
    std::string TrackPlanText(std::size_t index) const;

    // Refuses when the disk lacks room for the sources as the import writes them
    // (converted sizes for the converted), or the temporary folder for the converted files.
    std::optional<Refusal> CheckRoom(COVFtoWAVEDoc& doc);

    // Converts the planned sources, asking `stopRequested` between blocks; fills
    // `trackNames` with what the import reads (the source as named, or its converted file) and
    // `warnings` with the clipped samples.
    std::optional<Refusal> Run(const std::function<bool()>& stopRequested,
                               std::array<std::string, kTrackCount>& trackNames, std::vector<Warning>& warnings);

    // Tells a refusal or warnings that name a converted file of the user's source instead.
    void Retell(Refusal& refusal) const;
    void Retell(std::vector<Warning>& warnings) const;
    // Removes the scratch folder and the converted files now; true when nothing is left.
    bool RemoveScratch();

private:
    struct TrackPlan {
        SourceRequest request;
        std::optional<SourceFormat> accepted;   // the import takes the file as it is, at this format
        std::optional<SourceFormat> readable;   // the converter reads it, at this format
        bool convert = false;
        std::string converted;  // the converted file, once made
    };

    std::optional<Refusal> ChooseFormat(const FormatRequest& format);
    std::optional<Refusal> PlanTrack(TrackPlan& plan) const;
    std::uint64_t ConvertedBytes() const;
    std::optional<Refusal> MakeScratch();
    // The user's name for a converted file's path; other subjects as they are.
    std::string Told(const std::string& subject) const;

    platform::FileSystem& m_files;
    std::array<std::optional<TrackPlan>, kTrackCount> m_plans;
    std::optional<TargetFormat> m_target;
    std::unique_ptr<platform::ScratchFolder> m_scratch;
};

// The user's name for a source's channel: "b.wav (left channel)", "b.wav" for Only.
std::string SubjectOf(const SourceRequest& request);

}  // namespace convert
