#pragma once
// The checks of the File->MO page, free of any window: the check of one track's
// file name as it is entered, and the validation before an import runs. The GUI
// page and the command-line tool both implement CImportPage and call them.

#include "import/OrvoTrack.h"
#include "recorder/Errors.h"
#include "platform/FileSystem.h"
#include "recorder/FnbTextFile.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class COVFtoWAVEDoc;

namespace platform {
class UserInterface;
}

// Why a check refused: the refusal (its subject the name as it was given), the track
// index it concerns (nothing for the disk's free space), and whether the user has seen
// its message. A refused header of a kind that does not show its reader's refusal
// (ShowsRefusal) is told as a file of unknown format; Validate leaves it unshown, so
// that the front end can say it at the refused track in its own way. A check that a
// stop request ended (Reason::Interrupted) shows nothing and counts as shown: the
// front end says that it stopped.
struct ImportRefusal {
    Refusal refusal;
    std::optional<std::uint8_t> track;
    bool shown = true;
};

// What the checks need from the page that holds the eight track slots.
class CImportPage {
public:
    virtual ~CImportPage() = default;
    // The slot of track index 0 (Track 1) to 7.
    virtual COrvoTrack& GetTrackSlot(std::uint8_t index) = 0;
    // Enables or disables everything but Track 1's field: Tracks 2 to 8, the
    // project name and Convert.
    virtual void EnableInputs(bool enable) = 0;
    // Shows Track 1's rate and word length ("%d Hz", "%d bit"), or clears both.
    virtual void ShowFormat(bool show) = 0;
};

// The page's texts when Convert is pressed.
struct ImportInputs {
    std::string projectName;
    std::array<std::string, kTrackCount> trackNames;  // index 0 = Track 1; empty: unused
    // Track 1 may stay empty (the command line's numbered tracks): every named file must
    // then match the format of the lowest-numbered one, which the project takes.
    bool anyTrack = false;
};

class CImportChecks {
public:
    // A name without a folder is taken from `baseFolder` (the GUI passes the
    // executable's folder, the command-line tool the current directory). Files are
    // looked up and the free space measured through `files`.
    CImportChecks(CImportPage& page, platform::UserInterface& ui, std::string baseFolder,
                  platform::FileSystem& files = platform::RealFileSystem());

    // Checks the file named for one track: it must exist, end in an extension of an
    // import kind and have a header its reader accepts; Tracks 2 to 8 must match
    // Track 1's rate and word length. A check of Track 1 enables or locks the rest of
    // the page. Shows one message on failure. The header checks of this and of
    // Validate ask the port whether to stop (UserInterface::StopRequested) before
    // every read.
    std::optional<ImportRefusal> CheckFileName(std::uint8_t trackIndex, const std::string& name);

    // The checks before an import: hands the project name to the document, checks
    // every named file (Track 1 mandatory unless `anyTrack`, each named one of an
    // import kind and matching Track 1, or the lowest-numbered named track), lets each slot remember its path, measures the free space on
    // the document's MO folder and checks that the files fit.
    std::optional<ImportRefusal> Validate(const ImportInputs& inputs, COVFtoWAVEDoc& doc);

    // The path a track name stands for: a name without a folder is joined to the
    // base folder; the file's spelling on disk when it exists.
    std::string ResolvePath(const std::string& name) const;

private:
    std::string JoinToBase(const std::string& name) const;
    std::optional<std::string> FindSource(const std::string& name) const;
    // Validate's check of one track's name; adds an accepted file's length to `totalBytes`.
    std::optional<ImportRefusal> CheckTrack(std::uint8_t trackIndex, const std::string& name, bool anyTrack,
                                            std::uint64_t& totalBytes);
    std::optional<ImportRefusal> CheckRoom(COVFtoWAVEDoc& doc, std::uint64_t totalBytes);
    // How `reader`'s rate and word length differ from those of the track at `reference`
    // (Track 1 unless a validation of any tracks found another first), or nothing when
    // they match or there is no format to compare with.
    std::optional<std::string> DifferenceFromReference(const CPCSoundFile& reader);
    // The slot's header check of `path`, polling the port for a stop request.
    std::optional<Refusal> ReadHeader(COrvoTrack& slot, const std::string& path);
    // A check of `name` that a stop request ended: nothing shown.
    static ImportRefusal Stopped(std::uint8_t trackIndex, Refusal refusal, const std::string& name);
    // CheckFileName's refusal, shown: a refused Track 1 locks the page.
    ImportRefusal RefuseName(std::uint8_t trackIndex, Refusal refusal);
    // `refusal` of `track`, its message shown.
    ImportRefusal Shown(std::optional<std::uint8_t> track, Refusal refusal);

    CImportPage& m_page;
    platform::UserInterface& m_ui;
    std::string m_baseFolder;
    platform::FileSystem& m_files;
    std::uint8_t m_reference = 0;
};
