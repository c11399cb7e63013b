#pragma once
// The Mono export's output names and the check its save dialog runs before it
// closes with OK: one question per track whose output file already exists, its name
// found in any letter case (a disk of the recorder's or Windows' file system takes
// Take11.WAV for take11.wav).

#include "platform/FileSystem.h"

#include <string>
#include <vector>

class CTrack;

namespace platform {
class UserInterface;
}

// A chosen Mono path split at the last dot of its file name: the base in front of
// the dot and the extension behind it. A file name without a dot gives the whole
// path as the base, an empty extension and hasDot false.
struct MonoOutputPath {
    std::string base;
    std::string extension;
    bool hasDot = false;
};

MonoOutputPath SplitMonoPath(const std::string& path);

// The output file of one track: base, track number, virtual track number, ".", extension.
std::string MonoOutputName(const MonoOutputPath& path, int track, int virtualTrack);

class CMonoFileDialog {
public:
    // `items` are the export's tracks (not owned), in the order of the run; the
    // output folder is listed in `files`.
    CMonoFileDialog(platform::UserInterface& ui, int itemCount, CTrack* const* items,
                    platform::FileSystem& files = platform::RealFileSystem());

    // The existing files the tracks' outputs for `path` would replace, in track order:
    // for each track the first name of its folder (in byte order) that equals its
    // output name in any letter case, spelt as the folder spells it.
    std::vector<std::string> ExistingFiles(const std::string& path) const;
    // Runs when the user confirms `path`: for each existing file in turn, asks whether
    // it may be replaced. False (keep the dialog open) at the first No; true when every
    // question was answered Yes or none was needed.
    bool CheckExistingFiles(const std::string& path) const;

private:
    platform::UserInterface& m_ui;
    int m_nItems;
    CTrack* const* m_ppItems;
    platform::FileSystem& m_files;
};
