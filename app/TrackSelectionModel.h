#pragma once
// The rules of the MO->File page, free of any window: Mono or Stereo, which
// tracks are ticked and from which virtual track, the file type, what can be
// used, and the selection Convert hands to the export. The page shows this
// state and passes every click on to it.

#include "app/ExportSelection.h"
#include "recorder/Records.h"

#include <array>
#include <cstddef>
#include <string>

class COVFtoWAVEDoc;

// The page's track type; Unchosen until a project is shown for the first time.
enum class TrackType { Unchosen, Mono, Stereo };

class CTrackSelectionModel {
public:
    // How many tracks each track type lets the user tick.
    static constexpr int kMonoLimit = static_cast<int>(kTrackCount);
    static constexpr int kStereoLimit = 2;
    // The virtual track a track is on until another is chosen.
    static constexpr int kFirstVirtualTrack = 1;

    // Starts as Reset() does when the document has a project chosen; otherwise
    // with everything locked and no track type.
    explicit CTrackSelectionModel(const COVFtoWAVEDoc& doc);

    // Takes the document's project again: Mono, no track ticked, every track on its
    // first virtual track, the first file type; everything locked without a project.
    void Reset();
    // A click on Mono or Stereo, also on the one already chosen: unticks every track.
    void ChooseType(TrackType type);
    // Ticks or unticks track `index` (0 = Track 1). Ticking a locked track is
    // refused; the result is whether the track is ticked afterwards.
    bool Tick(std::size_t index, bool ticked);
    // The virtual track (1 to 8) track `index` is exported from.
    void ChooseVirtualTrack(std::size_t index, int virtualTrack);
    void ChooseFileType(const std::string& fileType);

    bool ProjectChosen() const { return m_projectChosen; }
    TrackType Type() const { return m_type; }
    bool Ticked(std::size_t index) const { return m_ticked[index]; }
    int VirtualTrack(std::size_t index) const { return m_virtualTracks[index]; }
    const std::string& FileType() const { return m_fileType; }
    // How many tracks are ticked.
    int Count() const;

    // Mono, Stereo and the file type can be used once a project is chosen.
    bool TypeEnabled() const { return m_projectChosen; }
    bool FileTypeEnabled() const { return m_projectChosen; }
    // A track can be ticked while fewer than its type's limit are; ticked tracks
    // stay usable, and only a ticked track's virtual track can be chosen.
    bool TrackEnabled(std::size_t index) const;
    bool VirtualTrackEnabled(std::size_t index) const;
    bool ConvertEnabled() const;

    // What Convert hands to the export: the document's disk and project, and the
    // virtual track of every ticked track.
    ExportSelection Selection() const;

private:
    int Limit() const;

    const COVFtoWAVEDoc& m_doc;
    bool m_projectChosen = false;
    TrackType m_type = TrackType::Unchosen;
    std::array<bool, kTrackCount> m_ticked{};
    std::array<int, kTrackCount> m_virtualTracks{};
    std::string m_fileType;
};
