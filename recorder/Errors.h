#pragma once
// Why a run or a check refused, and what it warns about. The user of the desktop
// program sees only the system's message (the id); the reason and its subject are
// for front ends that can say more, and for tests, which assert why.
//
// Failures inside a run travel as ImportError or ExportError to the code that
// started the run; both are std::exceptions, so a front end's catch-all sees them.

#include "platform/Messages.h"

#include <exception>
#include <string>
#include <vector>

namespace platform {
class UserInterface;
}

enum class Reason {
    Unspecified,
    OutOfMemory,
    Interrupted,  // the person asked the run to stop

    // Sound files given for import.
    FileNotFound,
    UnknownExtension,
    NotWave,
    NotAiff,
    NoFormatChunk,
    FormatChunkDamaged,
    NotMono,
    FloatSamples,
    CompressedSamples,
    UnsupportedBits,
    UnsupportedContainer,
    UnsupportedRate,
    NegativeRate,
    RateNotANumber,
    NoSampleData,
    DataBeyondEnd,
    SampleOffsetBeyondChunk,
    DataOffsetTooLarge,
    FormatMismatch,
    Track1Missing,
    SourceReadFailed,
    SourceChanged,  // a source's size or length differs between the scan and the conversion
    NoSoundInSources,  // every used source holds only digital silence
    StereoWithoutChannel,   // a stereo source for one track, no channel named
    TooManyChannels,        // more channels than a conversion takes one or two of
    NoSuchChannel,          // a channel (or a split) a mono source does not have
    ConversionUnavailable,  // a source needs converting and this build has no converter

    // The import's writing onto the disk.
    NoDiskSpace,
    FnbTextMissing,
    FnbTextUnreadable,
    NoSerialLine,
    ProjectNumbersUsedUp,
    FnbTextFull,
    FnbTextWriteFailed,
    FnbTextMaybeRegistered,
    ProjectNameRefused,
    ProjectNameHoldsSerialKey,
    TemporaryFileFailed,
    ListedProjectFiles,
    DataFileWriteFailed,
    DiskInUse,    // another import holds the disk's lock
    DiskChanged,  // FNB.TXT or a new data file is not as the import found or wrote it

    // The recorder disk read for export.
    ProjectNotOnDisk,
    ProjectIndexMissing,
    ProjectIndexUnreadable,
    TrackNotRecorded,
    DataFileMissing,
    UnknownWordLength,
    UnknownRate,
    NoTrackChosen,
    NoDiskChosen,

    // The files an export writes.
    NoFileName,
    UnknownFileType,
    OutputFolderMissing,
    OutputWriteFailed,
    OutputTooLarge,
    OutputNameWithoutDot,
};

// What a check or run refused: the message the user sees, why, and the file or
// track it concerns ("b.wav", "track 3 (virtual track 1)"); `detail` is the value
// the reason names (a channel count, a rate, a name).
struct Refusal {
    MessageId id = MessageId::ConvertFailed;
    Reason reason = Reason::Unspecified;
    std::string subject;
    std::string detail;
};

// One line for a person: "b.wav: 2 channels; only mono files can be imported".
std::string Explain(const Refusal& refusal);

class RunError : public std::exception, public Refusal {
public:
    explicit RunError(Refusal refusal);
    // The system's message text.
    const char* what() const noexcept override;
};

// An import failure: the catcher shows the message.
class ImportError : public RunError {
public:
    explicit ImportError(MessageId id, Reason reason = Reason::Unspecified, std::string subject = {},
                         std::string detail = {});
};

// An export failure: the page shows "Convert failed.".
class ExportError : public RunError {
public:
    explicit ExportError(Reason reason = Reason::Unspecified, std::string subject = {}, std::string detail = {});
};

// Something a run noticed and went on despite.
enum class WarningKind {
    SourceShorterThanHeader,  // a source file holds fewer sample bytes than its header states
    TrackEndedShortDataFile,  // a track ended early: a data file is shorter than its segment
    TrackEndedBadLink,        // a track ended early: a link leads outside FNB.BIN
    TrackEndedMissingDataFile,  // a track ended early: a later segment's data file cannot be opened
    LeadInTableMissing,       // HFS.BIN is missing: lead-ins are taken as 0
    RateNotExportable,        // an imported project's rate cannot be exported once taken over
    InterruptedImportLeft,    // an interrupted import left its new FNB.TXT beside the old one
    MovedAsideLeft,           // a data file an import moved aside is still under its moved-aside name
    CreatedFileLeft,          // a data file of a failed import could not be removed
    DiskNotLocked,            // the disk cannot be locked: two imports onto it are not kept apart
    SilentSourceLeftOut,      // a source holds only digital silence: its track is left out
    LongSilence,              // a track holds more than an hour of silence before or between its recordings
    UnreadableSilenced,       // a track is silent where its data file could not be read from the disk
    SamplesClipped,           // a converted source held samples above full scale: they were clipped
};

struct Warning {
    WarningKind kind;
    std::string subject;  // the file or track it concerns
    std::string detail;
};

std::string Explain(const Warning& warning);

// What a run warns about, one warning to a line (CR LF between them).
std::string WarningsText(const std::vector<Warning>& warnings);

// The lines below a run's result message: `first` (when not empty), then each warning.
std::string ResultDetail(const std::string& first, const std::vector<Warning>& warnings);

// Shows the refusal's message, its reason and then `warnings` beside it; a refusal
// without a reason shows the message alone.
void ShowRefusal(platform::UserInterface& ui, const Refusal& refusal, const std::vector<Warning>& warnings = {});
