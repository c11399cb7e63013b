#pragma once
// The "MO->File" page: the chosen project's information, Mono or Stereo, the
// tracks and their virtual tracks with a strip each showing where the recordings
// lie, the file type, and "&Convert" for the export.
// The page's rules are CTrackSelectionModel's; the controls show its state.

#include "app/TrackSelectionModel.h"
#include "recorder/Records.h"

#include <QWidget>

#include <array>

class COVFtoWAVEDoc;
class CTrackStrip;
class CUserData;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace platform {
class UserInterface;
}

class CTrkSelPage : public QWidget {
    Q_OBJECT

public:
    CTrkSelPage(COVFtoWAVEDoc& doc, platform::UserInterface& ui, CUserData& settings, QWidget* parent);

    // Reloads the controls from the document: Mono, no track ticked, the project's texts.
    void RefreshControls();

signals:
    void selectProjectRequested();
    void exitRequested();

private:
    // Shows the document's project texts, or none, and then the model.
    void ShowDocument();
    // Sets every control from the model.
    void Mirror();
    void MirrorType();
    void MirrorTracks();
    void MirrorFileType();
    // Greys the virtual tracks that hold no recording in each track's list.
    void MarkEmptyVirtualTracks();
    void OnTypeClicked(TrackType type);
    void OnTrackBoxClicked(std::size_t index);
    void OnConvert();
    ExportSelection Selection() const;
    void RunExportRun(const ExportSelection& selection);
    void SetTabOrder();

    COVFtoWAVEDoc& m_doc;
    platform::UserInterface& m_ui;
    CUserData& m_settings;
    CTrackSelectionModel m_model;
    QRadioButton* m_mono;
    QRadioButton* m_stereo;
    std::array<QCheckBox*, kTrackCount> m_trackBoxes{};
    std::array<QComboBox*, kTrackCount> m_virtualTrackLists{};
    std::array<CTrackStrip*, kTrackCount> m_strips{};
    QPushButton* m_selectProject;
    QLabel* m_nameValue;
    QLabel* m_rateValue;
    QLabel* m_bitsValue;
    QLabel* m_countValue;
    QComboBox* m_fileType;
    QPushButton* m_convert;
    QPushButton* m_exit;
    QLabel* m_emptyNote;  // why Convert cannot start: a ticked track on an empty virtual track
};
