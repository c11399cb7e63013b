#include "convert/ImportConversion.h"

#include "app/Document.h"
#include "convert/MonoWave.h"
#include "import/OrvoTrack.h"
#include "platform/Files.h"
#include "recorder/Formats.h"

#include <algorithm>

namespace convert {

namespace {

constexpr std::uint32_t kRate32k = 32000;
constexpr std::uint32_t kRate44k = 44100;
constexpr std::uint32_t kRate48k = 48000;
// The rates of the 11.025 kHz family are whole multiples or fractions of it.
constexpr std::uint32_t kRate11k = 11025;
constexpr unsigned kWidestBits = 24;
constexpr int kMonoChannels = 1;
constexpr int kStereoChannels = 2;
constexpr const char* kConvertedName = "track";
constexpr const char* kConvertedExtension = ".wav";

bool InElevenFamily(std::uint32_t rate)
{
    return rate % kRate11k == 0 || (rate != 0 && kRate11k % rate == 0);
}

// The format of a file the import takes as it is, or nothing.
std::optional<SourceFormat> AcceptedFormat(platform::FileSystem& files, const std::string& path)
{
    COrvoTrack slot(files);
    if (!slot.SelectReader(path) || slot.ReadSourceHeader(path))
        return std::nullopt;
    const CPCSoundFile& reader = *slot.GetReader();
    return SourceFormat{reader.GetSampleRate(), kMonoChannels, 0, reader.GetBitsPerSample(), false};
}

std::string FormatLine(const TargetFormat& target)
{
    return "project format: " + RateText(target.rate) + " " + std::to_string(target.bits) + " bit";
}

Refusal SourceRefusal(const SourceRequest& request, Reason reason, std::string detail = {})
{
    return Refusal{MessageId::FormatUnknown, reason, request.name, std::move(detail)};
}

}  // namespace

std::uint32_t DefaultRate(std::uint32_t sourceRate)
{
    if (sourceRate == kRate32k)
        return kRate32k;
    return InElevenFamily(sourceRate) ? kRate44k : kRate48k;
}

unsigned DefaultBits(const SourceFormat& source)
{
    return !source.floating && WordLengthOfBits(source.bits) ? source.bits : kWidestBits;
}

std::vector<unsigned> ProjectRates()
{
    std::vector<unsigned> rates;
    for (const RateFormat& rate : kRateFormats) {
        if (rate.exportable)
            rates.push_back(rate.hz);
    }
    return rates;
}

std::vector<unsigned> ProjectWordLengths()
{
    std::vector<unsigned> bits;
    for (const WordLengthFormat& wordLength : kWordLengthFormats)
        bits.push_back(wordLength.bits);
    return bits;
}

std::string SubjectOf(const SourceRequest& request)
{
    const std::string channel = ChannelText(request.channel);
    return channel.empty() ? request.name : request.name + " (" + channel + ")";
}

ConversionStage::ConversionStage(platform::FileSystem& files) : m_files(files) {}

ConversionStage::~ConversionStage() = default;

std::optional<Refusal> ConversionStage::Plan(const SourceRequests& sources, const FormatRequest& format)
{
    for (std::size_t index = 0; index < kTrackCount; ++index) {
        m_plans[index].reset();
        if (!sources[index])
            continue;
        TrackPlan plan{*sources[index], AcceptedFormat(m_files, sources[index]->path), std::nullopt, false, {}};
        if (!plan.accepted)
            plan.readable = ProbeSource(m_files, plan.request.path);
        m_plans[index] = std::move(plan);
    }
    if (auto refusal = ChooseFormat(format))
        return refusal;
    for (auto& plan : m_plans) {
        if (plan && m_target) {
            if (auto refusal = PlanTrack(*plan))
                return refusal;
        }
    }
    return std::nullopt;
}

std::optional<Refusal> ConversionStage::ChooseFormat(const FormatRequest& format)
{
    m_target.reset();
    const auto first = std::find_if(m_plans.begin(), m_plans.end(), [](const auto& plan) { return plan.has_value(); });
    if (first == m_plans.end())
        return std::nullopt;
    const std::optional<SourceFormat>& accepted = (*first)->accepted;
    const std::optional<SourceFormat>& readable = (*first)->readable;
    // A first source nobody reads gives no format; the import's checks refuse it.
    if (!accepted && !readable && (!format.rate || !format.bits))
        return std::nullopt;
    TargetFormat target;
    target.dither = format.dither;
    target.rate = format.rate ? *format.rate
                  : accepted  ? accepted->rate
                              : DefaultRate(readable->rate);
    target.bits = format.bits ? *format.bits : accepted ? accepted->bits : DefaultBits(*readable);
    m_target = target;
    return std::nullopt;
}

std::optional<Refusal> ConversionStage::PlanTrack(TrackPlan& plan) const
{
    const TargetFormat& target = *m_target;
    if (plan.accepted) {
        if (plan.request.channel == Channel::Right)
            return SourceRefusal(plan.request, Reason::NoSuchChannel, ChannelText(Channel::Right));
        plan.request.channel = Channel::Only;
        if (plan.accepted->rate == target.rate && plan.accepted->bits == target.bits)
            return std::nullopt;
        // At another format: the converter reads what the import reads.
        plan.readable = ProbeSource(m_files, plan.request.path);
        if (!plan.readable)
            return Refusal{MessageId::DifferentFormat, Reason::ConversionUnavailable, plan.request.name,
                           Describe(*plan.accepted) + " to " + RateText(target.rate) + " " +
                               std::to_string(target.bits) + " bit"};
    }
    if (!plan.readable)
        return std::nullopt;
    const int channels = plan.readable->channels;
    if (channels == kMonoChannels) {
        if (plan.request.channel == Channel::Right)
            return SourceRefusal(plan.request, Reason::NoSuchChannel, ChannelText(Channel::Right));
        plan.request.channel = Channel::Only;
    } else if (channels == kStereoChannels) {
        if (plan.request.channel == Channel::Only)
            return SourceRefusal(plan.request, Reason::StereoWithoutChannel);
    } else {
        return SourceRefusal(plan.request, Reason::TooManyChannels, std::to_string(channels));
    }
    plan.convert = true;
    return std::nullopt;
}

bool ConversionStage::Converts() const
{
    return std::any_of(m_plans.begin(), m_plans.end(), [](const auto& plan) { return plan && plan->convert; });
}

std::vector<std::string> ConversionStage::PlanLines() const
{
    std::vector<std::string> lines;
    if (!m_target)
        return lines;
    lines.push_back(FormatLine(*m_target));
    for (std::size_t index = 0; index < kTrackCount; ++index) {
        const auto& plan = m_plans[index];
        if (plan && plan->convert)
            lines.push_back("Track " + std::to_string(index + 1) + ": " + plan->request.name + ": " +
                            TrackPlanText(index));
    }
    return lines;
}

std::optional<SourceFormat> ConversionStage::ConvertedSource(std::size_t index) const
{
    const auto& plan = m_plans[index % kTrackCount];
    return plan && plan->convert ? plan->readable : std::nullopt;
}

std::string ConversionStage::TrackPlanText(std::size_t index) const
{
    const auto& plan = m_plans[index % kTrackCount];
    if (!plan || !plan->convert)
        return {};
    return Describe(*plan->readable) + ": " + PlanText(*plan->readable, plan->request.channel, *m_target);
}

std::uint64_t ConversionStage::ConvertedBytes() const
{
    std::uint64_t bytes = 0;
    for (const auto& plan : m_plans) {
        if (plan && plan->convert)
            bytes += MonoWaveWriter::FileBytes(ConvertedFrames(*plan->readable, *m_target), m_target->bits);
    }
    return bytes;
}

std::optional<Refusal> ConversionStage::MakeScratch()
{
    if (!m_scratch)
        m_scratch = std::make_unique<platform::ScratchFolder>(m_files);
    if (m_scratch->Path().empty())
        return Refusal{MessageId::ConvertFailed, Reason::TemporaryFileFailed, m_files.TemporaryFolder(), {}};
    return std::nullopt;
}

std::optional<Refusal> ConversionStage::CheckRoom(COVFtoWAVEDoc& doc)
{
    if (!Converts())
        return std::nullopt;
    const std::uint64_t converted = ConvertedBytes();
    std::uint64_t total = converted;
    for (const auto& plan : m_plans) {
        if (plan && !plan->convert)
            total += m_files.FileSize(plan->request.path).value_or(0);
    }
    const auto lacking = [](std::uint64_t needed, const std::optional<std::uint64_t>& free) {
        return free ? std::to_string(needed) + " bytes of converted sources and a reserve of " +
                          std::to_string(kFreeSpaceReserve) + " needed, " + std::to_string(*free) + " free"
                    : std::string("the free space cannot be measured");
    };
    const bool measured = doc.UpdateFreeSpace(m_files);
    if (!doc.HasRoomFor(total))
        return Refusal{MessageId::NoDiskSpace, Reason::NoDiskSpace, doc.m_strMoFolder,
                       lacking(total, measured ? std::optional<std::uint64_t>(doc.m_freeBytes) : std::nullopt)};
    if (auto refusal = MakeScratch())
        return refusal;
    const auto free = m_files.FreeSpace(m_scratch->Path());
    if (!free || converted + kFreeSpaceReserve >= *free)
        return Refusal{MessageId::NoDiskSpace, Reason::NoDiskSpace, m_files.TemporaryFolder(), lacking(converted, free)};
    return std::nullopt;
}

std::optional<Refusal> ConversionStage::Run(const std::function<bool()>& stopRequested,
                                            std::array<std::string, kTrackCount>& trackNames,
                                            std::vector<Warning>& warnings)
{
    for (std::size_t index = 0; index < kTrackCount; ++index) {
        auto& plan = m_plans[index];
        // A source taken as it is goes to the import as it was named, as it always did.
        trackNames[index] = plan ? plan->request.name : std::string();
        if (!plan || !plan->convert)
            continue;
        if (auto refusal = MakeScratch())
            return refusal;
        const std::string output =
            platform::JoinPath(m_scratch->Path(), kConvertedName + std::to_string(index + 1) + kConvertedExtension);
        const std::string subject = SubjectOf(plan->request);
        ConversionOutcome outcome;
        if (auto refusal = ConvertChannel(m_files, plan->request.path, plan->request.channel, *m_target, output,
                                          subject, stopRequested, outcome))
            return refusal;
        plan->converted = output;
        trackNames[index] = output;
        if (outcome.clipped > 0)
            warnings.push_back({WarningKind::SamplesClipped, subject, std::to_string(outcome.clipped)});
    }
    return std::nullopt;
}

std::string ConversionStage::Told(const std::string& subject) const
{
    for (const auto& plan : m_plans) {
        if (plan && !plan->converted.empty() && subject == plan->converted)
            return SubjectOf(plan->request);
    }
    return subject;
}

void ConversionStage::Retell(Refusal& refusal) const
{
    refusal.subject = Told(refusal.subject);
}

void ConversionStage::Retell(std::vector<Warning>& warnings) const
{
    for (auto& warning : warnings)
        warning.subject = Told(warning.subject);
}

bool ConversionStage::RemoveScratch()
{
    return !m_scratch || m_scratch->Remove();
}

}  // namespace convert
