#pragma once
// Writing FNB.TXT, the project information text through which an import hands a new
// project to the recorder. The file is always 131072 bytes: CR LF text lines
// followed by zero bytes. An import derives its project number from the last
// "SNGSERIAL:" line, collects its project and track blocks in a temporary file,
// and at the end writes the new text into FNB.TXT in place, in one write.

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
// Room reserved for one project block and for one track block.
inline constexpr std::uint64_t kProjectBlockReserve = 130;
inline constexpr std::uint64_t kTrackBlockReserve = 141;

class COrvoFnbTextFile {
public:
    // Derives the new project number from FNB.TXT in `moFolder` and creates the
    // temporary file, both through `files`. The project block names the project
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
    // Writes the collected text into FNB.TXT: after the used part (and a line end
    // when its last line has none), or over the whole text when the first line holds
    // "VERSIONID:". The first 131072 bytes
    // are composed in memory and written in place in one write; a shorter file is
    // first grown to that size, so that the write itself needs no new space. Any
    // failure before the write begins leaves the file as it was. Raises
    // ImportError(FnbReadFailed or FnbWriteFailed).
    void Commit();

    // The track data files this import has created, so that a failed import can
    // remove them again (best effort). Once Commit has opened FNB.TXT to write the
    // new text, they are no longer removed: the text may already name them.
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
    // Grows FNB.TXT at `path`, `size` bytes long, to its full size with zero bytes;
    // false when they cannot all be written.
    bool GrowToFullSize(const std::string& path, std::uint64_t size);
    // FNB.TXT at `path` opened to write its text in place, grown first when short.
    // On failure the file is cut back to its old length; raises ImportError(FnbWriteFailed).
    std::unique_ptr<platform::OutputFile> OpenForTextWrite(const std::string& path);

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
