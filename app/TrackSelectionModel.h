#pragma once
// The rules of the MO->File page, free of any window: Mono or Stereo, which
// tracks are ticked and from which virtual track, the file type, what can be
// used, where each track and virtual track holds recordings (read from FNB.BIN's
// chains, no audio), and the selection Convert hands to the export. The page shows
// this state and passes every click on to it.

#include "app/ExportSelection.h"
#include "recorder/Records.h"
#include "recorder/Track.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

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
    // first virtual track, the first file type, its recordings read from the disk;
    // everything locked without a project.
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
    // Convert needs a ticked track, and every ticked track's virtual track to hold a recording.
    bool ConvertEnabled() const;
    // Why Convert cannot start for a ticked track whose virtual track is empty; nothing
    // when none is.
    std::optional<std::string> EmptyChoice() const;

    // Where track `index`'s virtual track holds recordings, on the project's time line.
    const std::vector<TimeSpan>& Recorded(std::size_t index, int virtualTrack) const;
    bool HoldsRecording(std::size_t index, int virtualTrack) const { return !Recorded(index, virtualTrack).empty(); }
    // The end of the project's time line: the latest end of any track and virtual track.
    std::int64_t TimelineEnd() const { return m_timelineEnd; }

    // What Convert hands to the export: the document's disk and project, and the
    // virtual track of every ticked track.
    ExportSelection Selection() const;

private:
    int Limit() const;
    void ReadRecordings();

    const COVFtoWAVEDoc& m_doc;
    bool m_projectChosen = false;
    TrackType m_type = TrackType::Unchosen;
    std::array<bool, kTrackCount> m_ticked{};
    std::array<int, kTrackCount> m_virtualTracks{};
    std::string m_fileType;
    std::array<std::array<std::vector<TimeSpan>, kVirtualTrackCount>, kTrackCount> m_recorded{};
    std::int64_t m_timelineEnd = 0;
};
