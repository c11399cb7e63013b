#pragma once
// The kinds of PC sound file the program reads and writes, in one table: per kind its
// type name and, for each direction, the extensions that name it and the file
// dialog's filter text. The import's reader choice, the export's factories, both
// front ends and their messages take them from here.

#include <span>
#include <string>
#include <string_view>

enum class SoundFileKind { None, Wave, Aiff, Flac };

// A kind as the import reads it.
struct ImportKind {
    // The endings that select its reader, compared without regard to case.
    std::span<const std::string_view> extensions;
    // Its part of the open dialog's filter.
    std::string_view filter;
    // Whether a refused header shows the reader's own message; otherwise the checks
    // show that the file format is unknown, or nothing where they say so.
    bool showsRefusal;
};

// A kind as the export writes it.
struct ExportKind {
    // The endings that name it; the first is the save dialog's default extension.
    std::span<const std::string_view> extensions;
    // The save dialog's filter.
    const char* filter;
};

struct SoundFileKindEntry {
    SoundFileKind kind;
    const char* typeName;  // as the export page lists it
    ImportKind onImport;
    ExportKind onExport;
};

namespace soundfilekinds {

inline constexpr std::string_view kWaveExtensions[] = {".wav"};
inline constexpr std::string_view kAiffImportExtensions[] = {".aif", ".aiff", ".aifc"};
inline constexpr std::string_view kAiffExportExtensions[] = {".aif", ".aiff"};
inline constexpr std::string_view kFlacExtensions[] = {".flac"};

inline constexpr SoundFileKindEntry kEntries[] = {
    {SoundFileKind::Wave, "WAVE", {kWaveExtensions, "WAVE File (*.wav)|*.wav|", true},
     {kWaveExtensions, "WAVE File (*.wav)| *.wav|All Files (*.*)|*.*||"}},
    {SoundFileKind::Aiff, "AIFF",
     {kAiffImportExtensions, "AIFF File (*.aif *.aiff *.aifc)|*.aif;*.aiff;*.aifc|", false},
     {kAiffExportExtensions, "AIFF File (*.aif)| *.aif|All Files (*.*)|*.*||"}},
    // Written only, by a codec above the engine: the import takes no FLAC.
    {SoundFileKind::Flac, "FLAC", {{}, "", false},
     {kFlacExtensions, "FLAC File (*.flac)|*.flac|All Files (*.*)|*.*||"}},
};

}  // namespace soundfilekinds

// Every kind, in the order the pages list them.
constexpr std::span<const SoundFileKindEntry> SoundFileKinds()
{
    return soundfilekinds::kEntries;
}

// The entry of `kind`; `kind` is not None.
constexpr const SoundFileKindEntry& KindEntry(SoundFileKind kind)
{
    for (const auto& entry : soundfilekinds::kEntries) {
        if (entry.kind == kind)
            return entry;
    }
    return soundfilekinds::kEntries[0];
}

// The kind whose import (or export) extensions end `path`, compared without regard
// to case; None for any other ending.
SoundFileKind ImportKindOf(const std::string& path);
SoundFileKind ExportKindOf(const std::string& path);

// The open dialog of the import: its default extension and its filter, every sound
// file it takes, then each kind, then all files.
std::string_view ImportDefaultExtension();
std::string ImportFilter();

// Whether a refused header of `kind` shows the reader's own message (false for None).
constexpr bool ShowsRefusal(SoundFileKind kind)
{
    return kind != SoundFileKind::None && KindEntry(kind).onImport.showsRefusal;
}
