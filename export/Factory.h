#pragma once
// Factories of the sound file writers, and the table of file types the export
// offers: a channel mode picks the factory and the save dialog's texts by the type
// name the user chose, without knowing the concrete writer.

#include "app/SoundFileKinds.h"
#include "export/AIFFFile.h"
#include "export/SndFormFile.h"
#include "export/WaveFile.h"

#include <memory>
#include <span>
#include <string>
#include <utility>

class CFactory {
public:
    virtual ~CFactory() = default;
    // A new writer for `path` in `files` of a project of `format` (see ExportFormatOf),
    // owned by the caller; null when `channels` is not 1 to 65535. Touches no file.
    std::unique_ptr<CSndFormFile> CreateSoundFile(std::string path, const ProjectFormat& format, int channels,
                                                  platform::FileSystem& files = platform::RealFileSystem()) const;
    // The most sample data one file of this type can state in its header.
    virtual std::uint64_t MaxDataBytes() const = 0;

protected:
    // The concrete writer, for a project and channel count it can write.
    virtual std::unique_ptr<CSndFormFile> Make(std::string path, const ProjectFormat& format, int channels,
                                               platform::FileSystem& files) const = 0;
};

// The factory of one concrete writer.
template <class Writer>
class CFactoryFor : public CFactory {
public:
    std::uint64_t MaxDataBytes() const override { return Writer::kMaxDataBytes; }

protected:
    std::unique_ptr<CSndFormFile> Make(std::string path, const ProjectFormat& format, int channels,
                                       platform::FileSystem& files) const override
    {
        return std::make_unique<Writer>(std::move(path), format, channels, files);
    }
};

class CWaveFactory : public CFactoryFor<CWaveFile> {};
class CAiffFactory : public CFactoryFor<CAIFFFile> {};

// One file type of the export: its name (as listed on the page), the save
// dialog's default extension (with its dot) and filter, and its factory.
struct SoundFileType {
    const char* typeName;
    const char* defaultExtension;
    const char* filter;
    std::unique_ptr<CFactory> (*makeFactory)();
};

// Every file type of the export, in the order the page lists them: the engine's own
// (WAVE, AIFF), then those a front end added.
std::span<const SoundFileType> SoundFileTypes();

// Adds the file type of `kind` (not None), written by the factories `makeFactory`
// makes: for a kind whose writer lives above the engine (FLAC needs a codec library
// the engine does not link). A front end adds its types before it lists them or runs
// an export: the types found before stay valid, a kind added again keeps its first
// writer.
void AddSoundFileType(SoundFileKind kind, std::unique_ptr<CFactory> (*makeFactory)());

// The type whose name equals `typeName` exactly (case counts), or null.
const SoundFileType* FindSoundFileType(const std::string& typeName);

inline constexpr const char* kInitialFileName = "Untitled";
