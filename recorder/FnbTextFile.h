#pragma once
// FNB.TXT, the project information text through which an import hands a new
// project to the recorder. The file is always 131072 bytes: CR LF text lines
// followed by zero bytes. An import derives its project number from the last
// "SNGSERIAL:" line, collects its project and track blocks in a temporary file,
// and at the end writes the new text into FNB.TXT in place, in one write.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class COVFtoWAVEDoc;
class CPCSoundFile;
struct SoundRegion;

// The serial of the next track data file an import writes. The pack file counts
// it up after each file; the import driver sets it back to 0 when an import ends.
extern std::int32_t trackSerial;

inline constexpr std::size_t kFnbTextSize = 131072;
// Room reserved for one project block and for one track block.
inline constexpr std::uint64_t kProjectBlockReserve = 130;
inline constexpr std::uint64_t kTrackBlockReserve = 141;

inline constexpr std::size_t kProjectNameMaxLength = 12;

// True for a project name of at most 12 printable single-byte characters
// (0x20 to 0x7E): what a line of FNB.TXT can carry. The pages refuse other input
// where it is typed; the project block refuses it too.
bool IsAcceptableProjectName(const std::string& name);

class COrvoFnbTextFile {
public:
    // Derives the new project number from FNB.TXT in the document's MO folder and
    // creates the temporary file. Raises ImportError: FnbReadFailed,
    // ProjectNumberFull, or InsideError when no temporary file can be made.
    explicit COrvoFnbTextFile(const COVFtoWAVEDoc& doc);
    // Removes the temporary file.
    ~COrvoFnbTextFile();
    COrvoFnbTextFile(const COrvoFnbTextFile&) = delete;
    COrvoFnbTextFile& operator=(const COrvoFnbTextFile&) = delete;

    // The new project's number as two digits.
    const std::string& GetNewProjectNumber() const { return m_newProjectNumber; }
    // The name of the track data file with the current `trackSerial`.
    std::string GetTrackFileName() const;
    const std::string& GetMoFolder() const;
    const std::string& GetTempPath() const { return m_tempPath; }

    // Starts the temporary text with the project block, from Track 1's source
    // format. False when the word length or rate has no code, or a write fails.
    bool WriteSongBlock(const CPCSoundFile& source);
    // Appends the track block of the data file just written (current serial).
    bool WriteTrackBlock(const SoundRegion& region, int trackIndex);
    // True when the project block and `blockCount` track blocks fit after the
    // used part of FNB.TXT. Raises ImportError(FnbReadFailed) when it cannot be read.
    bool HasRoomForTracks(std::uint64_t blockCount) const;
    // Writes the collected text into FNB.TXT: after the used part, or over the
    // whole text when the first line holds "VERSIONID:". The first 131072 bytes
    // are composed in memory and written in one write; any failure before that
    // write leaves the file untouched. Raises ImportError(FnbReadFailed or FnbWriteFailed).
    void Commit();

    // The track data files this import has created, so that a failed import can
    // remove them again (best effort). Once Commit starts writing FNB.TXT, they are
    // no longer removed: the text may already name them.
    void NoteCreatedFile(const std::string& path);
    void RemoveCreatedFiles();

private:
    std::string FnbPath() const;

    const COVFtoWAVEDoc& m_doc;
    std::string m_newProjectNumber;
    std::string m_tempPath;
    std::vector<std::string> m_createdFiles;
};
