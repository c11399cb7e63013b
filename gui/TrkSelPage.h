#pragma once
// The "MO->File" page: the chosen project's information, Mono or Stereo, the
// tracks and their virtual tracks, the file type, and "&Convert" for the export.

#include "recorder/Records.h"

#include <QWidget>

#include <array>

class COVFtoWAVEDoc;
class CUserData;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
struct ExportSelection;

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
    void EnterNoProjectState();
    void ResetLists();
    void ClearValues();
    void Prepare();
    void Recount();
    void ApplyLimitRule();
    void OnModeClicked(int trackLimit);
    void OnTrackBoxClicked(std::size_t index);
    void OnConvert();
    ExportSelection Selection() const;
    void RunExportRun(const ExportSelection& selection);
    void SetTabOrder();

    COVFtoWAVEDoc& m_doc;
    platform::UserInterface& m_ui;
    CUserData& m_settings;
    QRadioButton* m_mono;
    QRadioButton* m_stereo;
    std::array<QCheckBox*, kTrackCount> m_trackBoxes{};
    std::array<QComboBox*, kTrackCount> m_virtualTrackLists{};
    QPushButton* m_selectProject;
    QLabel* m_nameValue;
    QLabel* m_rateValue;
    QLabel* m_bitsValue;
    QLabel* m_countValue;
    QComboBox* m_fileType;
    QPushButton* m_convert;
    QPushButton* m_exit;
    int m_chosenCount = 0;
    int m_trackLimit = static_cast<int>(kTrackCount);
};
