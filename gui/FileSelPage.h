#pragma once
// The "File->MO" page: a PC sound file per recorder track, the new project's name,
// Track 1's format, and "&Convert" for the import. It holds the eight track slots
// that the checks fill and the import reads.

#include "import/ImportChecks.h"
#include "import/OrvoTrack.h"
#include "platform/UserInterface.h"

#include <QWidget>

#include <array>

class COVFtoWAVEDoc;
class CSoundFileEdit;
class CProjectNameEdit;
class CUserData;
class QLabel;
class QPushButton;

class CFileSelPage : public QWidget, public CImportPage {
    Q_OBJECT

public:
    // A track name without a folder is looked up in `baseFolder`.
    CFileSelPage(COVFtoWAVEDoc& doc, platform::UserInterface& ui, CUserData& settings, const std::string& baseFolder,
                 QWidget* parent);

    COrvoTrack& GetTrackSlot(std::uint8_t index) override;
    void EnableInputs(bool enable) override;
    void ShowFormat(bool show) override;

signals:
    void exitRequested();

private:
    void OnRef(std::size_t index);
    // Puts the sound file `path` into track `index`'s field (Ref... or a drop), checked
    // as a typed name is.
    void PutSource(std::size_t index, const std::string& path);
    void OnConvert();
    ImportInputs Inputs() const;
    // Checks the name of one track; a refusal leaves the field ready for correction.
    bool CheckTrackName(std::size_t index, const QString& name);
    bool SelectReaderFor(std::size_t index, const std::string& path);
    std::optional<std::string> AskForSourceFile(std::size_t index);
    bool ValidateInputs(const ImportInputs& inputs);
    void RunImport();
    void SetTabOrder();

    COVFtoWAVEDoc& m_doc;
    platform::UserInterface& m_ui;
    CUserData& m_settings;
    TrackSlots m_tracks;
    CImportChecks m_checks;
    std::array<CSoundFileEdit*, kTrackCount> m_trackEdits{};
    std::array<QPushButton*, kTrackCount> m_refButtons{};
    CProjectNameEdit* m_projectNameEdit;
    // Why the last keystroke or paste into the project name was refused.
    QLabel* m_projectNameNote;
    QLabel* m_rateText;
    QLabel* m_bitsText;
    QPushButton* m_convert;
    QPushButton* m_exit;
};
