#pragma once
// The Mono export's output names and the check its save dialog runs before it
// closes with OK: one question per track whose output file (or a file that differs
// from it only in an extension of up to three characters) already exists.

#include "platform/FileSystem.h"

#include <string>

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

    // Runs when the user confirms `path`: for each track in order, asks whether the
    // first existing file found for it may be replaced. False (keep the dialog
    // open) at the first No; true when every question was answered Yes or none was needed.
    bool CheckExistingFiles(const std::string& path) const;

private:
    platform::UserInterface& m_ui;
    int m_nItems;
    CTrack* const* m_ppItems;
    platform::FileSystem& m_files;
};

// Extensions up to this length count as the same output file in the overwrite check.
inline constexpr std::size_t kCheckedExtensionLength = 3;
