#include "recorder/Errors.h"

#include "platform/UserInterface.h"

#include <map>
#include <string_view>
#include <utility>

namespace {

// In the texts, "{}" stands for the detail. A text that begins with "{s}" continues
// its subject as a sentence; any other follows the subject and a colon.
constexpr std::string_view kDetailMark = "{}";
constexpr std::string_view kSubjectMark = "{s}";
constexpr const char* kCrLf = "\r\n";

const char* ReasonText(Reason reason)
{
    static const std::map<Reason, const char*> texts = {
        {Reason::Unspecified, ""},
        {Reason::OutOfMemory, "not enough memory"},
        {Reason::Interrupted, "stopped on request"},
        {Reason::FileNotFound, "no such file"},
        {Reason::UnknownExtension, "neither .wav nor .aif, .aiff or .aifc"},
        {Reason::NotWave, "not a RIFF WAVE file"},
        {Reason::NotAiff, "not an AIFF file"},
        {Reason::NoFormatChunk, "no format chunk"},
        {Reason::FormatChunkDamaged, "the format chunk is too short or beyond the end of the file"},
        {Reason::NotMono, "{} channels; only mono files can be imported"},
        {Reason::FloatSamples, "floating-point samples; only integer PCM can be imported"},
        {Reason::CompressedSamples, "compressed samples ({}); only uncompressed PCM can be imported"},
        {Reason::UnsupportedBits, "{}-bit samples; only 16, 20 and 24 bit can be imported"},
        {Reason::UnsupportedContainer, "{}; only 16 bits in 16-bit containers and 20 or 24 bits in 24-bit containers "
                                       "can be imported"},
        {Reason::UnsupportedRate, "{} Hz is not a recorder rate"},
        {Reason::NegativeRate, "the rate is negative (-{} Hz)"},
        {Reason::RateNotANumber, "the rate is infinite or not a number"},
        {Reason::NoSampleData, "no sample data"},
        {Reason::DataBeyondEnd, "data chunk beyond the end of the file"},
        {Reason::SampleOffsetBeyondChunk, "the sample data offset lies beyond the end of the sound data chunk"},
        {Reason::DataOffsetTooLarge, "the sample data start more than 4 GiB into the file"},
        {Reason::FormatMismatch, "{}"},
        {Reason::Track1Missing, "{s} names no file"},
        {Reason::SourceReadFailed, "the file cannot be read"},
        {Reason::SourceChanged, "the file changed while it was imported ({})"},
        {Reason::NoSoundInSources, "every file holds only digital silence; the project would have no track"},
        {Reason::StereoWithoutChannel, "stereo: name a channel with :left or split it with 1,2=FILE"},
        {Reason::TooManyChannels, "{} channels; only mono and stereo files can be imported"},
        {Reason::NoSuchChannel, "mono: there is no {}; name the file without a channel"},
        {Reason::ConversionUnavailable, "{}; this build cannot convert sound files"},
        {Reason::NoDiskSpace, "{}"},
        {Reason::FnbTextMissing, "the disk folder holds no FNB.TXT"},
        {Reason::FnbTextUnreadable, "FNB.TXT cannot be read"},
        {Reason::NoSerialLine, "FNB.TXT holds no SNGSERIAL: line"},
        {Reason::ProjectNumbersUsedUp, "the last project number in FNB.TXT is {}; no later one can be derived"},
        {Reason::FnbTextFull, "FNB.TXT has no room for the new project's lines"},
        {Reason::FnbTextWriteFailed, "FNB.TXT cannot be written"},
        {Reason::FnbTextMaybeRegistered, "the new FNB.TXT took its name but may not be on the disk yet; "
                                         "the project may be registered"},
        {Reason::ProjectNameRefused, "{}"},
        {Reason::ProjectNameHoldsSerialKey, "a project name may not hold SNGSERIAL:, which would make its title line "
                                            "read as a project number line"},
        {Reason::TemporaryFileFailed, "no temporary file can be made"},
        {Reason::ListedProjectFiles, "data files of project {} exist and FNB.BIN lists that project"},
        {Reason::DataFileWriteFailed, "a track data file cannot be written"},
        {Reason::DiskInUse, "another import is writing to this disk; wait for it to finish, then import again"},
        {Reason::DiskChanged, "the disk changed during the import (this file is not as the import found or wrote "
                              "it); the new project was not registered"},
        {Reason::ProjectNotOnDisk, "the chosen project is no longer on this disk"},
        {Reason::ProjectIndexMissing, "the disk folder holds no FNB.BIN"},
        {Reason::ProjectIndexUnreadable, "FNB.BIN cannot be read"},
        {Reason::TrackNotRecorded, "{s} has no recording on this disk"},
        {Reason::DataFileMissing, "the data file {} cannot be opened"},
        {Reason::UnknownWordLength, "word-length code {} has no defined width"},
        {Reason::UnknownRate, "rate code {} has no defined rate"},
        {Reason::NoTrackChosen, "no track was chosen"},
        {Reason::NoDiskChosen, "no disk is chosen; Select Drive... in the Select menu chooses the recorder's disk folder"},
        {Reason::NoFileName, "no output file name was given"},
        {Reason::UnknownFileType, "{} is not a file type this program writes"},
        {Reason::OutputFolderMissing, "the output folder does not exist"},
        {Reason::OutputWriteFailed, "cannot be written"},
        {Reason::OutputTooLarge, "would hold more than a sound file header can state"},
        {Reason::OutputNameWithoutDot, "the name has no extension for the track numbers to go in front of"},
    };
    return texts.at(reason);
}

const char* WarningText(WarningKind kind)
{
    static const std::map<WarningKind, const char*> texts = {
        {WarningKind::SourceShorterThanHeader, "the file holds {} fewer sample bytes than its header states; "
                                               "the missing samples are taken as silence"},
        {WarningKind::TrackEndedShortDataFile, "{s} ended early: its data file {} is shorter than its segment"},
        {WarningKind::TrackEndedBadLink, "{s} ended early: a link in FNB.BIN leads outside the file"},
        {WarningKind::TrackEndedMissingDataFile, "{s} ended early: its data file {} cannot be opened"},
        {WarningKind::LeadInTableMissing, "HFS.BIN is missing; lead-ins are taken as 0"},
        {WarningKind::InterruptedImportLeft, "{s} was left by an interrupted import; the next import finishes or removes it"},
        {WarningKind::MovedAsideLeft, "{s} holds the earlier data file {}, moved aside by an import; the next "
                                      "import puts it back or removes it"},
        {WarningKind::CreatedFileLeft, "{s} was written by the failed import but could not be removed"},
        {WarningKind::DiskNotLocked, "the disk cannot be locked; another import onto it at the same time would not "
                                     "be kept apart"},
        {WarningKind::SilentSourceLeftOut, "the file holds only digital silence; {} is left out"},
        {WarningKind::LongSilence, "{s} is silent for {}, more than an hour before or between its recordings"},
        {WarningKind::UnreadableSilenced, "{s} is silent at {}, which could not be read from the disk"},
        {WarningKind::SamplesClipped, "{} samples above full scale were clipped"},
        {WarningKind::RateNotExportable, "{} Hz: wavelorn cannot export this project once the recorder has taken it over"},
    };
    return texts.at(kind);
}

std::string Compose(std::string_view text, const std::string& subject, const std::string& detail)
{
    std::string line;
    if (text.substr(0, kSubjectMark.size()) == kSubjectMark) {
        line = subject;
        text.remove_prefix(kSubjectMark.size());
    } else if (!subject.empty()) {
        line = subject + (text.empty() ? "" : ": ");
    }
    const auto mark = text.find(kDetailMark);
    if (mark == std::string_view::npos)
        return line + std::string(text);
    return line + std::string(text.substr(0, mark)) + detail + std::string(text.substr(mark + kDetailMark.size()));
}

}  // namespace

std::string Explain(const Refusal& refusal)
{
    return Compose(ReasonText(refusal.reason), refusal.subject, refusal.detail);
}

std::string Explain(const Warning& warning)
{
    return Compose(WarningText(warning.kind), warning.subject, warning.detail);
}

RunError::RunError(Refusal refusal) : Refusal(std::move(refusal)) {}

const char* RunError::what() const noexcept
{
    return MessageText(id).c_str();
}

ImportError::ImportError(MessageId id, Reason reason, std::string subject, std::string detail)
    : RunError(Refusal{id, reason, std::move(subject), std::move(detail)})
{
}

ExportError::ExportError(Reason reason, std::string subject, std::string detail)
    : RunError(Refusal{MessageId::ConvertFailed, reason, std::move(subject), std::move(detail)})
{
}

std::string WarningsText(const std::vector<Warning>& warnings)
{
    return ResultDetail({}, warnings);
}

std::string ResultDetail(const std::string& first, const std::vector<Warning>& warnings)
{
    std::string text = first;
    for (const auto& warning : warnings)
        text += (text.empty() ? "" : kCrLf) + Explain(warning);
    return text;
}

void ShowRefusal(platform::UserInterface& ui, const Refusal& refusal, const std::vector<Warning>& warnings)
{
    ui.ShowError(refusal.id, {ResultDetail(Explain(refusal), warnings), {}});
}
