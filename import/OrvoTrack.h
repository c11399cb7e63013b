#pragma once
// One of the eight recorder tracks of a new project on the import side: it owns
// the PC sound file reader chosen for the track's file, or none.

#include "app/SoundFileKinds.h"
#include "import/PCSoundFile.h"
#include "platform/FileSystem.h"
#include "recorder/Records.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>

class COrvoTrack {
public:
    // The readers the slot creates open their files through `files`.
    explicit COrvoTrack(platform::FileSystem& files = platform::RealFileSystem());
    virtual ~COrvoTrack();
    COrvoTrack(const COrvoTrack&) = delete;
    COrvoTrack& operator=(const COrvoTrack&) = delete;

    // Drops the current reader and creates the one of the kind the path's extension
    // names for the import (ImportKindOf); false (and no reader) for any other extension.
    bool SelectReader(const std::string& path);
    // Hands the path to the reader, if there is one.
    void SetSourcePath(const std::string& path);
    // The reader's path, empty without a reader.
    std::string GetSourcePath() const;
    // The reader's header check of `path`: why it refused, or nothing when accepted;
    // `stopRequested` as CPCSoundFile::ReadHeader asks it. Without a reader nothing is
    // checked: a refusal of reason UnknownExtension.
    std::optional<Refusal> ReadSourceHeader(const std::string& path, const StopCheck& stopRequested = {});
    // Drops the reader.
    void Reset();

    CPCSoundFile* GetReader() const { return reader.get(); }

private:
    platform::FileSystem& m_files;
    std::unique_ptr<CPCSoundFile> reader;
};

// The eight slots of a new project, index 0 = Track 1, all empty.
using TrackSlots = std::array<COrvoTrack, kTrackCount>;
TrackSlots MakeTrackSlots(platform::FileSystem& files = platform::RealFileSystem());
