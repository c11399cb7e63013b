#pragma once
// The one piece of state the whole program shares during a run: the MO folder,
// the project chosen for export, the name of the project an import creates,
// the import's time stamp and the measured free space.

#include "recorder/Errors.h"
#include "recorder/Records.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {
class FileSystem;
class UserInterface;
}

class COVFtoWAVEDoc {
public:
    COVFtoWAVEDoc();
    // Copy and assignment leave out the time stamp and the free space: the main
    // view uses them as a snapshot and a roll-back of the user's choices.
    COVFtoWAVEDoc(const COVFtoWAVEDoc& other);
    COVFtoWAVEDoc& operator=(const COVFtoWAVEDoc& other);

    void SetNewProjectName(const std::string& name);  // empty becomes "Untitled"
    std::string GetNewProjectName() const { return m_strNewProjectName; }

    // Sets the time stamp to the current local time, "%Y/%m/%d %H:%M:%S".
    void StampTime();
    std::string GetTimeStamp() const { return m_strTimeStamp; }

    // Measures the bytes available to the user on the volume of the MO folder;
    // 0 when it cannot be measured (and the result is false).
    bool UpdateFreeSpace(platform::FileSystem& files);
    // True when `bytes` plus the 131072-byte reserve is strictly less than the free space.
    bool HasRoomFor(std::uint64_t bytes) const;

    // Sets the MO folder (and the FNB.BIN path) from a chosen folder; an empty
    // folder clears both. Returns whether a folder was taken.
    bool SetMoFolder(const std::string& folder);
    // Why the MO folder is no recorder disk to work on, told with message `id`: no folder
    // is chosen, or it holds no FNB.BIN. Nothing when its FNB.BIN is there.
    std::optional<Refusal> DiskRefusal(MessageId id, platform::FileSystem& files) const;
    // The folder browser "Select MO :"; true when a folder was taken.
    bool BrowseMoFolder(platform::UserInterface& ui);

    // "Select Drive": the folder browser, as one transaction: when no folder is taken
    // the document is as it was. A chosen project stays chosen on the new folder (the
    // caller forgets it when the new disk does not list it).
    bool ChooseMoFolder(platform::UserInterface& ui);
    // Back to "no project chosen".
    void ForgetProject();
    // "Select Project": `runDialog` runs the project dialog on this document and says
    // whether it was accepted. Accepted with a project name, the project counts as
    // chosen; otherwise the document is as it was before the dialog.
    bool ChooseProject(const std::function<bool()>& runDialog);

    std::string m_strMoFolder;
    std::string m_strFnbPath;
    std::string m_strProjectName;
    std::string m_strSamplingRate;
    std::string m_strBits;
    bool m_bProjectChosen = false;
    sobinder m_projectRecord{};
    std::string m_strNewProjectName;
    std::string m_strTimeStamp;
    std::uint64_t m_freeBytes = 0;

private:
    // Runs `change`; when it fails the document's choices are rolled back.
    bool KeepIf(const std::function<bool()>& change);
};

inline constexpr const char* kUntitled = "Untitled";
inline constexpr std::uint64_t kFreeSpaceReserve = 131072;
