#pragma once
// A file written under a temporary name beside the name it is meant for (hidden,
// ".<name>.wavelorn-<random>"), so that nothing unfinished ever carries that name.
// Commit renames it into place once complete; otherwise it is removed again. Every
// temporary file of the program is made here: the replacing writer, the archive's
// files, the text an import collects before it commits.

#include "platform/FileSystem.h"

#include <memory>
#include <string>

namespace platform {

// How a temporary is named from the path it is meant for.
enum class TemporaryNaming {
    Hidden,   // ".<name>.wavelorn-<random>" beside it: for a file that takes its name at Commit
    Scratch,  // "<stem>-<random><extension>" beside it: for a scratch file in the temporary folder
};

class TemporaryFile {
public:
    // Creates a new temporary beside `path` in `files`, trying fresh random names
    // while the chosen one is taken.
    TemporaryFile(FileSystem& files, std::string path, TemporaryNaming naming = TemporaryNaming::Hidden);
    // Creates the temporary under exactly `temporaryPath`, a name that other runs
    // know to look for; no file when that name is taken.
    TemporaryFile(FileSystem& files, std::string path, std::string temporaryPath);
    // Removes the temporary unless it was committed.
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // The open file; null when it could not be created or was closed. Whoever writes
    // it may take it over (and close it); Close and Commit then close only a file
    // they still hold.
    std::unique_ptr<OutputFile>& File() { return m_file; }
    // The temporary's own path; empty when none could be created.
    const std::string& TemporaryPath() const { return m_temporary; }
    // Closes the file when still held and keeps the temporary; false when the close failed.
    bool Close();
    // Syncs and closes the file (when still held), renames the temporary to its path
    // and syncs the folder. False on any failure, the temporary then removed (or,
    // when only the folder's sync failed, already renamed); a second Commit fails.
    // A file taken over is synced by whoever holds it.
    bool Commit();
    // After a failed Commit: true when the file took its name all the same and only
    // the folder's sync failed, so that the new file may or may not outlast a power cut.
    bool Placed() const { return m_placed; }

private:
    void Discard();

    FileSystem& m_files;
    std::string m_path;
    std::string m_temporary;  // empty once renamed or removed
    std::unique_ptr<OutputFile> m_file;
    bool m_placed = false;
};

// A private folder of scratch files in the system's temporary folder
// ("wavelorn-<random>", open to its owner only), removed with every file in it when
// the object goes: on success, on failure and when a stop request ends the run.
class ScratchFolder {
public:
    explicit ScratchFolder(FileSystem& files);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's path; empty when none could be made.
    const std::string& Path() const { return m_path; }
    // Removes the folder and its files now; true when nothing of it is left.
    bool Remove();

private:
    FileSystem& m_files;
    std::string m_path;
};

// Moves the finished file at `from` to `to`; removes `from` when that fails.
bool MoveIntoPlace(FileSystem& files, const std::string& from, const std::string& to);

// A hidden name beside `name` for writing it before it is complete:
// ".<name>.wavelorn-<random>", the random part eight characters of a-z and 0-9.
std::string TemporaryNameFor(const std::string& name);

// True for a name that TemporaryNameFor makes, also with more after the random part.
bool IsTemporaryName(const std::string& name);
// True for a name that TemporaryNameFor(target) makes.
bool IsTemporaryNameFor(const std::string& name, const std::string& target);

}  // namespace platform
