#pragma once
// One import: writes a new project onto the MO disk from the eight track slots.
// A first pass scans every used track for regions of sound, so that FNB.TXT is
// checked for room (and the new data file names for collisions) before anything
// is written; a second pass converts the regions into track data files; at the
// end the collected lines go into FNB.TXT. Every outcome is shown through the
// user-interface port and returned. A failed import removes the data files it created.
// From reading FNB.TXT to the commit the import holds the disk's lock: a second
// import onto the same disk meanwhile is refused.

#include "import/ImportProgress.h"
#include "import/OrvoTrack.h"
#include "recorder/Errors.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class COVFtoWAVEDoc;
class COrvoFnbTextFile;

namespace platform {
class ProgressWindow;
class UserInterface;
}  // namespace platform

// What an import did.
struct ImportResult {
    bool succeeded = false;
    Refusal refusal;                     // why it failed; the default when it succeeded
    std::string projectNumber;           // of the new project, two digits ("04"); empty after a failure
    std::vector<std::string> dataFiles;  // full paths of the new data files, in FNB.TXT's order
    std::vector<Warning> warnings;       // what the run noticed and went on despite
};

class CInvertExchange {
public:
    // The slots must have been checked (the File->MO page's validation). The disk's
    // files are reached through `files`.
    CInvertExchange(TrackSlots& tracks, COVFtoWAVEDoc& doc, platform::UserInterface& ui,
                    platform::FileSystem& files = platform::RealFileSystem());
    virtual ~CInvertExchange();
    CInvertExchange(const CInvertExchange&) = delete;
    CInvertExchange& operator=(const CInvertExchange&) = delete;

    // Runs the import; "Convert succeeded." (naming the new project) or the failure's
    // message (with its reason), either with the warnings, has been shown when it returns.
    ImportResult Run();
    // Called with the run's result before it is shown: a stage in front of the import
    // tells it of the user's files and adds its own warnings.
    void SetResultTeller(std::function<void(ImportResult&)> teller) { m_teller = std::move(teller); }

private:
    using SlotAction = std::function<void(int trackIndex, CPCSoundFile& reader, platform::ProgressWindow* progress)>;

    ImportResult Import();
    // The source bytes of each used slot, as the progress counts them.
    SourceShares SharesOf() const;
    // Calls `action` for each slot in use, stepping the animation once for every
    // slot that holds a reader.
    void ForEachUsedSlot(CImportProgress& progress, const SlotAction& action);
    void WriteSongBlock(COrvoFnbTextFile& textFile, std::vector<Warning>& warnings) const;
    std::uint64_t ScanTracks(CImportProgress& progress, std::vector<Warning>& warnings);
    void ConvertTracks(COrvoFnbTextFile& textFile, CImportProgress& progress);
    // Fails the run as interrupted when the window was asked to stop it.
    void StopIfRequested(const CImportProgress& progress) const;
    // The data files already under the names of the `fileCount` new ones, to be moved
    // aside; refuses to touch data files that may hold the recorder's audio.
    std::vector<std::string> ReplaceableDataFiles(const COrvoFnbTextFile& textFile, std::uint64_t fileCount) const;

    TrackSlots& m_pTracks;
    COVFtoWAVEDoc& m_pDoc;
    platform::UserInterface& m_ui;
    platform::FileSystem& m_files;
    std::function<void(ImportResult&)> m_teller;
};
