#pragma once
// One of the eight recorder tracks of a new project on the import side: it owns
// the PC sound file reader chosen for the track's file, or none.

#include "import/PCSoundFile.h"
#include "platform/FileSystem.h"
#include "recorder/Records.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>

namespace platform {
class UserInterface;
}

// The reader a file name gets from its ending, compared without regard to case:
// ".wav" a WAVE reader; ".aif", ".aiff" and ".aifc" an AIFF reader; anything else none.
enum class SoundFileKind { None, Wave, Aiff };
SoundFileKind SoundFileKindOf(const std::string& path);

class COrvoTrack {
public:
    // The readers the slot creates show their messages through `ui` and open their
    // files through `files`.
    explicit COrvoTrack(platform::UserInterface& ui, platform::FileSystem& files = platform::RealFileSystem());
    virtual ~COrvoTrack();
    COrvoTrack(const COrvoTrack&) = delete;
    COrvoTrack& operator=(const COrvoTrack&) = delete;

    // Drops the current reader and creates the one that matches the path's
    // extension; false (and no reader) for any other extension.
    bool SelectReader(const std::string& path);
    // Hands the path to the reader, if there is one.
    void SetSourcePath(const std::string& path);
    // The reader's path, empty without a reader.
    std::string GetSourcePath() const;
    // The reader's header check of `path`; false without a reader.
    bool ReadSourceHeader(const std::string& path);
    // Drops the reader.
    void Reset();

    CPCSoundFile* GetReader() const { return reader.get(); }

private:
    platform::UserInterface& m_ui;
    platform::FileSystem& m_files;
    std::unique_ptr<CPCSoundFile> reader;
};

// The eight slots of a new project, index 0 = Track 1, all empty.
using TrackSlots = std::array<COrvoTrack, kTrackCount>;
TrackSlots MakeTrackSlots(platform::UserInterface& ui, platform::FileSystem& files = platform::RealFileSystem());
