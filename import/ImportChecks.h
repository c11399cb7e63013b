#pragma once
// The checks of the File->MO page, free of any window: the check of one track's
// file name as it is entered, and the validation before an import runs. The GUI
// page and the command-line tool both implement CImportPage and call them.

#include "recorder/FnbTextFile.h"
#include "import/OrvoTrack.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class COVFtoWAVEDoc;
enum class MessageId : int;

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
    // executable's folder, the command-line tool the current directory).
    CImportChecks(CImportPage& page, platform::UserInterface& ui, std::string baseFolder);

    // Checks the file named for one track: it must exist, end in .wav or .aif and
    // have a header its reader accepts; Tracks 2 to 8 must match Track 1's rate and
    // word length. A check of Track 1 enables or locks the rest of the page.
    // Shows one message on failure.
    bool CheckFileName(std::uint8_t trackIndex, const std::string& name);

    // The checks before an import: hands the project name to the document, checks
    // every named file (Track 1 mandatory, the others matching it), lets each slot
    // remember its path and checks that the files fit on the disk.
    bool Validate(const ImportInputs& inputs, COVFtoWAVEDoc& doc);

    // The path a track name stands for: a name without a folder is joined to the
    // base folder; the file's spelling on disk when it exists.
    std::string ResolvePath(const std::string& name) const;

private:
    std::string JoinToBase(const std::string& name) const;
    std::optional<std::string> FindSource(const std::string& name) const;
    bool RefuseName(std::uint8_t trackIndex, std::optional<MessageId> message);
    bool MatchesTrack1(const CPCSoundFile& reader);
    bool Fail(MessageId message);

    CImportPage& m_page;
    platform::UserInterface& m_ui;
    std::string m_baseFolder;
};
