#pragma once
// Writing FNB.TXT, the project information text through which an import hands a new
// project to the recorder. The file is always 131072 bytes: CR LF text lines
// followed by zero bytes. An import derives its project number from the last
// "SNGSERIAL:" line, collects its project and track blocks in a temporary file,
// and at the end commits the new text: the whole image goes to FNBTXT.NEW in the
// disk folder, onto the device, and is then renamed over FNB.TXT, so that a power
// cut leaves the old text or the new one, never a torn one.
//
// A data file of an unlisted project that stands under one of the new names is moved
// aside first (TrackFileName's MovedAsideName): put back when the import fails, removed
// once the new text has its name. Whatever an interrupted import left, the next one
// finishes before it reads FNB.TXT.

#include "platform/FileSystem.h"
#include "platform/TemporaryFile.h"
#include "recorder/Errors.h"
#include "recorder/FnbTextProjects.h"
#include "recorder/ProjectName.h"

#include <cstddef>
#include <cstdint>
#include <functional>
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

// What an interrupted import left in `moFolder`. Its new text: when FNB.TXT is missing
// and FNBTXT.NEW is whole, the commit got as far as the text and it takes the name;
// otherwise it is removed. Then its moved-aside data files: removed when FNB.TXT lists
// their project (the commit went through), else put back under their names. Raises
// ImportError (FnbWriteFailed for the text, ConvertFailed for a data file) when one stays.
void FinishInterruptedCommit(platform::FileSystem& files, const std::string& moFolder);
// A warning for each file an interrupted import left in `moFolder`, for the commands
// that only read the disk.
std::vector<Warning> InterruptedImportWarnings(platform::FileSystem& files, const std::string& moFolder);

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
    // Appends the track block of the data file just written and closed (current serial):
    // the track's index (0 = Track 1), and the region's start and length in groups; the
    // file's size is kept for the commit's check. Why not, when the write fails.
    std::optional<Refusal> WriteTrackBlock(int trackIndex, std::uint32_t startGroup, std::uint32_t lengthGroups);
    // The full paths of the data files the track blocks name, in the order written.
    const std::vector<std::string>& GetDescribedFiles() const { return m_describedFiles; }
    // True when the project block and `blockCount` track blocks fit after the
    // used part of FNB.TXT (and the line end a commit may add). Raises ImportError(FnbReadFailed) when it cannot be read.
    bool HasRoomForTracks(std::uint64_t blockCount) const;
    // Commits the collected text to FNB.TXT: after the used part (and a line end
    // when its last line has none), or over the whole text when the first line holds
    // "VERSIONID:". The 131072 bytes are composed in memory from the text read at the
    // start and written whole to FNBTXT.NEW (created new), synced, renamed over FNB.TXT
    // and the folder synced. An FNB.TXT that cannot be opened for writing is refused
    // first, and so is a disk that changed: FNB.TXT not as read at the start, or a data
    // file not of the size it was written with (ConvertFailed, DiskChanged). Until the
    // rename has succeeded, a failure leaves FNB.TXT as it was; after it, the data files
    // stay, and a failed folder sync raises FnbWriteFailed with FnbTextMaybeRegistered.
    // Once committed, the moved-aside files are removed; what stays is warned of.
    // Raises ImportError(FnbReadFailed, FnbWriteFailed or ConvertFailed).
    std::vector<Warning> Commit();

    // The track data files this import has created, each with the identity it had, so
    // that a failed import can remove them again. Once Commit has renamed the new text
    // over FNB.TXT, they are no longer removed: the text names them.
    void NoteCreatedFile(const std::string& path);
    // Moves the file at `path` (an unlisted project's data file under a name this import
    // writes) aside, to be put back if the import fails. Raises ImportError(ConvertFailed).
    void MoveAside(const std::string& path);
    // Removes the data files this import created and puts back the ones it moved aside,
    // each only while it is still the file it was (a disk put in meanwhile may hold
    // files of the same names); a warning for each file that stays as it is.
    std::vector<Warning> RemoveCreatedFiles();

private:
    std::string FnbPath() const;
    std::vector<std::uint8_t> ReadTextImage(const std::string& path) const;
    // The collected text; raises FnbWriteFailed when it cannot be read or does not
    // fit into `room` bytes.
    std::vector<std::uint8_t> ReadCollectedText(std::size_t room) const;
    // The first 131072 bytes of FNB.TXT as the commit writes them; raises FnbWriteFailed.
    std::vector<std::uint8_t> ComposeText() const;
    // Writes `block` into the temporary text, opened in `mode`; why not when that fails.
    std::optional<Refusal> AppendToTemp(const std::string& block, platform::WriteMode mode) const;
    // Syncs the folder's new data file names; refuses an FNB.TXT at `path` that cannot
    // be opened for writing (a rename would replace even a read-only file).
    void PrepareCommit(const std::string& path) const;
    // Raises DiskChanged when FNB.TXT at `path` is not the text read at the start or a
    // data file written is not there with its size.
    void CheckDiskUnchanged(const std::string& path) const;
    // Writes `image` to FNBTXT.NEW and renames it over FNB.TXT at `path`.
    void ReplaceText(const std::string& path, const std::vector<std::uint8_t>& image);
    // Whether `path` still leads to the file of `identity`.
    bool IsSameFile(const std::string& path, const std::optional<platform::FileIdentity>& identity) const;
    struct CreatedFile {
        std::string path;
        std::optional<platform::FileIdentity> identity;
    };
    struct MovedFile {
        std::string original;
        std::string aside;
        std::optional<platform::FileIdentity> identity;
    };

    // Removes the moved-aside files once the new text names the new ones.
    std::vector<Warning> RemoveMovedAside();
    // Calls `settle` (put back or remove) for each moved-aside file that is still the
    // file moved, and forgets them all; a warning for each that stays.
    std::vector<Warning> SettleMovedAside(const std::function<bool(const MovedFile&)>& settle);

    platform::FileSystem& m_files;
    std::string m_moFolder;
    std::string m_projectName;
    std::string m_timeStamp;
    std::uint32_t m_trackSerial = 0;
    std::string m_newProjectNumber;
    std::unique_ptr<platform::TemporaryFile> m_temp;
    // FNB.TXT as read at the start: its first 131072 bytes and its size.
    std::vector<std::uint8_t> m_startImage;
    std::uint64_t m_startSize = 0;
    std::vector<CreatedFile> m_createdFiles;
    std::vector<MovedFile> m_movedAside;
    std::vector<std::string> m_describedFiles;
    std::vector<std::optional<std::uint64_t>> m_describedSizes;  // of m_describedFiles, as written
};
