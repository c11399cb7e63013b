#pragma once
// One import: writes a new project onto the MO disk from the eight track slots.
// A first pass scans every used track for regions of sound, so that FNB.TXT is
// checked for room (and the new data file names for collisions) before anything
// is written; a second pass converts the regions into track data files; at the
// end the collected lines go into FNB.TXT. Every outcome is shown through the
// user-interface port. A failed import removes the data files it created.

#include "import/OrvoTrack.h"

#include <cstdint>
#include <functional>
#include <optional>

class COVFtoWAVEDoc;
class COrvoFnbTextFile;
enum class MessageId : int;

namespace platform {
class ProgressWindow;
class UserInterface;
}  // namespace platform

class CInvertExchange {
public:
    // The slots must have been checked (the File->MO page's validation).
    CInvertExchange(TrackSlots& tracks, COVFtoWAVEDoc& doc, platform::UserInterface& ui);
    virtual ~CInvertExchange();
    CInvertExchange(const CInvertExchange&) = delete;
    CInvertExchange& operator=(const CInvertExchange&) = delete;

    // Runs the import; true after "Convert succeeded.", false after a failure
    // whose message has been shown.
    bool Run();

private:
    using SlotAction = std::function<void(int trackIndex, CPCSoundFile& reader)>;

    // The failure's message, or nothing when the import succeeded.
    std::optional<MessageId> Import();
    // Calls `action` for each slot in use, stepping the animation once for every
    // slot that holds a reader.
    void ForEachUsedSlot(platform::ProgressWindow* progress, const SlotAction& action);
    void WriteSongBlock(COrvoFnbTextFile& textFile) const;
    std::uint64_t ScanTracks(platform::ProgressWindow* progress);
    void ConvertTracks(COrvoFnbTextFile& textFile, platform::ProgressWindow* progress);
    // Refuses to write over data files that may hold the recorder's audio.
    void CheckExistingDataFiles(const COrvoFnbTextFile& textFile, std::uint64_t fileCount) const;

    TrackSlots& m_pTracks;
    COVFtoWAVEDoc& m_pDoc;
    platform::UserInterface& m_ui;
};
