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
};

class CImportChecks {
public:
    // A name without a folder is taken from `baseFolder` (the GUI passes the
    // executable's folder, the command-line tool the current directory). Files are
    // looked up and the free space measured through `files`.
    CImportChecks(CImportPage& page, platform::UserInterface& ui, std::string baseFolder,
                  platform::FileSystem& files = platform::RealFileSystem());

    // Checks the file named for one track: it must exist, end in .wav or .aif and
    // have a header its reader accepts; Tracks 2 to 8 must match Track 1's rate and
    // word length. A check of Track 1 enables or locks the rest of the page.
    // Shows one message on failure.
    bool CheckFileName(std::uint8_t trackIndex, const std::string& name);

    // The checks before an import: hands the project name to the document, checks
    // every named file (Track 1 mandatory, the others matching it), lets each slot
    // remember its path, measures the free space on the document's MO folder and
    // checks that the files fit.
    bool Validate(const ImportInputs& inputs, COVFtoWAVEDoc& doc);

    // The path a track name stands for: a name without a folder is joined to the
    // base folder; the file's spelling on disk when it exists.
    std::string ResolvePath(const std::string& name) const;

    // Why the last check refused, its subject the name as it was given; and the
    // track index it concerns (nothing for the disk's free space).
    const Refusal& GetRefusal() const { return m_refusal; }
    std::optional<std::uint8_t> GetRefusedTrack() const { return m_refusedTrack; }
    // Whether the user has seen a message about the last refusal, from a check or from
    // the reader that refused the file's header.
    bool RefusalShown() const { return m_refusalShown; }

private:
    std::string JoinToBase(const std::string& name) const;
    std::optional<std::string> FindSource(const std::string& name) const;
    // Validate's check of one track's name; adds an accepted file's length to `totalBytes`.
    bool CheckTrack(std::uint8_t trackIndex, const std::string& name, std::uint64_t& totalBytes);
    bool CheckRoom(COVFtoWAVEDoc& doc, std::uint64_t totalBytes);
    // How `reader`'s rate and word length differ from Track 1's, or nothing when they
    // match or there is no Track 1 format to compare with.
    std::optional<std::string> DifferenceFromTrack1(const CPCSoundFile& reader);
    // CheckFileName's refusal, shown when `show` (otherwise the reader has shown it): a
    // refused Track 1 locks the page.
    bool RefuseName(std::uint8_t trackIndex, Refusal refusal, bool show);
    // Keeps `refusal` of `track`, and whether its message has been shown; returns false.
    bool Keep(std::optional<std::uint8_t> track, Refusal refusal, bool shown);
    // Keeps `refusal` of `track` and shows its message; returns false.
    bool Fail(std::optional<std::uint8_t> track, Refusal refusal);

    CImportPage& m_page;
    platform::UserInterface& m_ui;
    std::string m_baseFolder;
    platform::FileSystem& m_files;
    Refusal m_refusal;
    std::optional<std::uint8_t> m_refusedTrack;
    bool m_refusalShown = false;
};
