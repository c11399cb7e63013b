#pragma once
// The "File->MO" page: a PC sound file per recorder track, the new project's name,
// Track 1's format, and "&Convert" for the import. It holds the eight track slots
// that the checks fill and the import reads. A file the import does not take as it
// is but the conversion can make into the project's format is accepted: a line below
// its field says what the conversion does, and a converted Track 1 offers the
// project's rate and word length as choices.

#include "convert/ImportConversion.h"
#include "import/ImportChecks.h"
#include "import/InvertExchange.h"
#include "import/OrvoTrack.h"
#include "platform/UserInterface.h"

#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class COVFtoWAVEDoc;
class CSoundFileEdit;
class CProjectNameEdit;
class CUserData;
class QComboBox;
class QGridLayout;
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
    void RunImport(const std::function<void(ImportResult&)>& teller = {});
    // The conversion's plan of the named files (of Track 1 and `only`, or of every
    // track); false when it refuses them or converts none.
    bool PlanConversion(convert::ConversionStage& stage, std::optional<std::size_t> only, bool chosenFormat) const;
    // Accepts a file for track `index` that the conversion makes into the project's format.
    bool AcceptConverted(std::size_t index);
    void ShowPlan(std::size_t index, const convert::ConversionStage& stage);
    void HidePlan(std::size_t index);
    // Says again what each converted track's conversion does, after a choice changed.
    void RetellPlans();
    void ShowFormatChoices(const convert::TargetFormat& format);
    // Converts the named files and imports them; false when nothing needs converting.
    bool ConvertAndImport();
    void SetTabOrder();
    // The line below track `index`'s field: what its conversion does, and the channel of a stereo file.
    void AddPlanRow(std::size_t index, QGridLayout& grid, int row, QWidget* parent);

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
    // Below each field: what the conversion does, and the channel of a stereo file.
    std::array<QComboBox*, kTrackCount> m_channelChoices{};
    std::array<QLabel*, kTrackCount> m_planNotes{};
    QLabel* m_rateText;
    QLabel* m_bitsText;
    QComboBox* m_rateChoice;
    QComboBox* m_bitsChoice;
    bool m_track1Converts = false;
    QPushButton* m_convert;
    QPushButton* m_exit;
};
