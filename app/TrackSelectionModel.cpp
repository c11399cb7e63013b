#include "app/TrackSelectionModel.h"

#include "app/Document.h"
#include "platform/Files.h"
#include "recorder/BinderFile.h"
#include "recorder/Errors.h"

#include <algorithm>

CTrackSelectionModel::CTrackSelectionModel(const COVFtoWAVEDoc& doc) : m_doc(doc)
{
    Reset();
    if (!m_projectChosen)
        m_type = TrackType::Unchosen;  // no track type is shown before a project is
}

void CTrackSelectionModel::Reset()
{
    m_projectChosen = m_doc.m_bProjectChosen;
    m_type = TrackType::Mono;
    m_ticked.fill(false);
    m_virtualTracks.fill(kFirstVirtualTrack);
    m_fileType = ExportSelection{}.fileType;
    ReadRecordings();
}

void CTrackSelectionModel::ReadRecordings()
{
    for (auto& track : m_recorded)
        track.fill({});
    m_timelineEnd = 0;
    if (!m_projectChosen)
        return;
    CBinderFile binder(m_doc.m_strFnbPath);
    if (!binder.Exists() || !binder.OpenForRead())
        return;
    CLeadInTable leadIns(platform::JoinPath(m_doc.m_strMoFolder, kHfsFileName));
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        for (int v = 1; v <= kVirtualTrackCount; ++v) {
            const auto extent = MeasureTrack(binder, leadIns, m_doc.m_projectRecord, static_cast<int>(k) + 1, v);
            if (!extent)
                continue;
            m_recorded[k][static_cast<std::size_t>(v) - 1] = extent->recorded;
            m_timelineEnd = std::max(m_timelineEnd, static_cast<std::int64_t>(extent->endPosition));
        }
    }
}

const std::vector<TimeSpan>& CTrackSelectionModel::Recorded(std::size_t index, int virtualTrack) const
{
    return m_recorded[index][static_cast<std::size_t>(virtualTrack) - 1];
}

std::optional<std::string> CTrackSelectionModel::EmptyChoice() const
{
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        if (m_projectChosen && m_ticked[k] && !HoldsRecording(k, m_virtualTracks[k]))
            return Explain(Refusal{MessageId::ConvertFailed, Reason::TrackNotRecorded,
                                   TrackDescription(static_cast<int>(k) + 1, m_virtualTracks[k]), {}});
    }
    return std::nullopt;
}

void CTrackSelectionModel::ChooseType(TrackType type)
{
    m_type = type;
    m_ticked.fill(false);
}

bool CTrackSelectionModel::Tick(std::size_t index, bool ticked)
{
    if (TrackEnabled(index))
        m_ticked[index] = ticked;
    return m_ticked[index];
}

void CTrackSelectionModel::ChooseVirtualTrack(std::size_t index, int virtualTrack)
{
    m_virtualTracks[index] = virtualTrack;
}

void CTrackSelectionModel::ChooseFileType(const std::string& fileType)
{
    m_fileType = fileType;
}

int CTrackSelectionModel::Count() const
{
    return static_cast<int>(std::count(m_ticked.begin(), m_ticked.end(), true));
}

int CTrackSelectionModel::Limit() const
{
    return m_type == TrackType::Stereo ? kStereoLimit : kMonoLimit;
}

bool CTrackSelectionModel::TrackEnabled(std::size_t index) const
{
    return m_projectChosen && (m_ticked[index] || Count() < Limit());
}

bool CTrackSelectionModel::VirtualTrackEnabled(std::size_t index) const
{
    return m_projectChosen && m_ticked[index];
}

bool CTrackSelectionModel::ConvertEnabled() const
{
    return m_projectChosen && Count() >= 1 && !EmptyChoice();
}

ExportSelection CTrackSelectionModel::Selection() const
{
    ExportSelection selection;
    selection.moFolder = m_doc.m_strMoFolder;
    selection.project = m_doc.m_projectRecord;
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        if (m_ticked[k])
            selection.virtualTracks[k] = m_virtualTracks[k];
    }
    selection.stereo = m_type == TrackType::Stereo;
    selection.fileType = m_fileType;
    return selection;
}
