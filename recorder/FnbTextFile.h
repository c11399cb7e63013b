#pragma once
// Writing FNB.TXT, the project information text through which an import hands a new
// project to the recorder. The file is always 131072 bytes: CR LF text lines
// followed by zero bytes. An import derives its project number from the last
// "SNGSERIAL:" line, collects its project and track blocks in a temporary file,
// and at the end commits the new text: the whole image goes to FNBTXT.NEW in the
// disk folder, onto the device, and is then renamed over FNB.TXT, so that a power
// cut leaves the old text or the new one, never a torn one.

#include "platform/FileSystem.h"
#include "platform/TemporaryFile.h"
#include "recorder/Errors.h"
#include "recorder/FnbTextProjects.h"
#include "recorder/ProjectName.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

inline constexpr std::size_t kFnbTextSize = 131072;
// The new text before it takes the name FNB.TXT; an 8.3 name, as the recorder's disk takes.
inline constexpr const char* kNewFnbTextName = "FNBTXT.NEW";
// Room reserved for one project block and for one track block.
inline constexpr std::uint64_t kProjectBlockReserve = 130;
inline constexpr std::uint64_t kTrackBlockReserve = 141;

// A new text that an interrupted commit left in `moFolder`: when FNB.TXT is missing
// and FNBTXT.NEW is whole, the commit got as far as the text and it takes the name;
// otherwise it is removed. Raises ImportError(FnbWriteFailed) when it stays.
void FinishInterruptedCommit(platform::FileSystem& files, const std::string& moFolder);
// Whether an interrupted import left its new text in `moFolder` (for a warning).
bool HasInterruptedCommit(platform::FileSystem& files, const std::string& moFolder);

class COrvoFnbTextFile {
public:
    // Finishes or removes a new text an interrupted import left (FinishInterruptedCommit),
    // derives the new project number from FNB.TXT in `moFolder` and creates the
    // temporary file, all through `files`. The project block names the project
    // `projectName`, every block carries `timeStamp`. Raises ImportError:
    // FnbReadFailed, ProjectNumberFull, or InsideError when no temporary file can be made.
    COrvoFnbTextFile(std::string moFolder, std::string projectName, std::string timeStamp,
                     platform::FileSystem& files = platform::RealFileSystem());
    // Removes the temporary file.
    ~COrvoFnbTextFile();
    COrvoFnbTextFile(const COrvoFnbTextFile&) = delete;
    COrvoFnbTextFile& operator=(const COrvoFnbTextFile&) = delete;

    // The new project's number as two digits.
    const std::string& GetNewProjectNumber() const { return m_newProjectNumber; }
    // The serial of the next track data file this import writes, from 0; and the
    // name of that file.
    std::uint32_t GetTrackSerial() const { return m_trackSerial; }
    std::string GetTrackFileName() const;
    // The full path of that file in the MO folder.
    std::string GetTrackFilePath() const;
    // Moves on to the next data file's serial, once a file's track block is written.
    void AdvanceTrackSerial() { ++m_trackSerial; }
    const std::string& GetMoFolder() const { return m_moFolder; }
    const std::string& GetTempPath() const { return m_temp->TemporaryPath(); }

    // Starts the temporary text with the project block for the project's rate and
    // word-length codes. Why not, when the project name cannot be carried or a write fails.
    std::optional<Refusal> WriteSongBlock(std::uint8_t rateCode, std::uint8_t wordLengthCode);
    // Appends the track block of the data file just written (current serial): the
    // track's index (0 = Track 1), and the region's start and length in groups. Why
    // not, when the write fails.
    std::optional<Refusal> WriteTrackBlock(int trackIndex, std::uint32_t startGroup, std::uint32_t lengthGroups);
    // The full paths of the data files the track blocks name, in the order written.
    const std::vector<std::string>& GetDescribedFiles() const { return m_describedFiles; }
    // True when the project block and `blockCount` track blocks fit after the
    // used part of FNB.TXT (and the line end a commit may add). Raises ImportError(FnbReadFailed) when it cannot be read.
    bool HasRoomForTracks(std::uint64_t blockCount) const;
    // Commits the collected text to FNB.TXT: after the used part (and a line end
    // when its last line has none), or over the whole text when the first line holds
    // "VERSIONID:". The 131072 bytes are composed in memory and written whole to
    // FNBTXT.NEW (created new), synced, renamed over FNB.TXT and the folder synced.
    // An FNB.TXT that cannot be opened for writing is refused first. Until the rename
    // has succeeded, a failure leaves FNB.TXT as it was; after it, the data files
    // stay, and a failed folder sync raises FnbWriteFailed with FnbTextMaybeRegistered.
    // Raises ImportError(FnbReadFailed or FnbWriteFailed).
    void Commit();

    // The track data files this import has created, so that a failed import can
    // remove them again (best effort). Once Commit has renamed the new text over
    // FNB.TXT, they are no longer removed: the text names them.
    void NoteCreatedFile(const std::string& path);
    void RemoveCreatedFiles();

private:
    std::string FnbPath() const;
    std::vector<std::uint8_t> ReadTextImage(const std::string& path) const;
    // The collected text; raises FnbWriteFailed when it cannot be read or does not
    // fit into `room` bytes.
    std::vector<std::uint8_t> ReadCollectedText(std::size_t room) const;
    // The first 131072 bytes of FNB.TXT at `path` as the commit writes them; raises
    // FnbReadFailed or FnbWriteFailed.
    std::vector<std::uint8_t> ComposeText(const std::string& path) const;
    // Writes `block` into the temporary text, opened in `mode`; why not when that fails.
    std::optional<Refusal> AppendToTemp(const std::string& block, platform::WriteMode mode) const;
    // Syncs the folder's new data file names; refuses an FNB.TXT at `path` that cannot
    // be opened for writing (a rename would replace even a read-only file).
    void PrepareCommit(const std::string& path) const;
    // Writes `image` to FNBTXT.NEW and renames it over FNB.TXT at `path`.
    void ReplaceText(const std::string& path, const std::vector<std::uint8_t>& image);

    platform::FileSystem& m_files;
    std::string m_moFolder;
    std::string m_projectName;
    std::string m_timeStamp;
    std::uint32_t m_trackSerial = 0;
    std::string m_newProjectNumber;
    std::unique_ptr<platform::TemporaryFile> m_temp;
    std::vector<std::string> m_createdFiles;
    std::vector<std::string> m_describedFiles;
};
