#pragma once
// Names in an archive folder: one folder per project, "NN Name", and one file per
// track and virtual track, "T<t>V<v>.wav" or ".flac".

#include "platform/ReplacingFile.h"
#include "recorder/Records.h"

#include <string>
#include <vector>

namespace archive {

enum class ArchiveFormat { Wave, Flac };

// The recorder's single-byte text, read as Latin-1, in UTF-8.
std::string Latin1ToUtf8(const std::string& latin1);

// A UTF-8 text usable as a file name on every system: control characters (C0, DEL,
// C1) and characters that a file system refuses (< > : " / \ | ? *) become '_', as
// do trailing dots and spaces, which Windows drops.
std::string SafeFileName(const std::string& utf8);

// "NN Name" for a project: the number with at least two digits and its name as the
// list shows it (an unnamed project carries the list's generated name).
std::string ProjectFolderName(const sobinder& listedRecord);

// The names in order with the later ones of a name already taken (letter case aside)
// made unique by " (2)", " (3)", ...
std::vector<std::string> UniqueNames(const std::vector<std::string>& names);

// "T3V1.wav" or "T3V1.flac".
std::string TrackOutputName(int track, int virtualTrack, ArchiveFormat format);

// The file extension of a format, without its dot: "wav" or "flac".
std::string FormatExtension(ArchiveFormat format);

// The archive's temporaries are named as every replaced file's temporary is, so one
// test spots them all.
using platform::IsTemporaryName;
using platform::TemporaryNameFor;

// True for the disk's index files: FNB.BIN, HFS.BIN and FNB.TXT, whatever their letter case.
bool IsIndexFileName(const std::string& name);

// True for the files of a recorder disk: FNB.BIN, HFS.BIN, FNB.TXT and the track
// data files (8b32 and eight more characters), whatever their letter case.
bool IsRecorderFileName(const std::string& name);

}  // namespace archive
