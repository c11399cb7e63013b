#include "gui/FileSelPage.h"

#include "app/Document.h"
#include "app/RegUserData.h"
#include "app/SoundFileKinds.h"
#include "convert/SourceConversion.h"
#include "gui/FocusWheelComboBox.h"
#include "gui/GuiText.h"
#include "gui/ProjectNameEdit.h"
#include "gui/SoundFileEdit.h"
#include "gui/WidgetFactory.h"
#include "import/InvertExchange.h"
#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "platform/Messages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr std::uint8_t kTrack1 = 0;
constexpr int kTrackFieldMinimumWidth = 300;
constexpr int kStereoChannels = 2;
// Each track takes two rows of the grid: its field, then what a conversion of it does.
constexpr int kRowsPerTrack = 2;
constexpr const char* kConvertingText = "Converting the sound files...";
// Short, to fit below "Ref...": the line beside it names the channel in full.
constexpr std::pair<convert::Channel, const char*> kChannelChoices[] = {
    {convert::Channel::Left, "Left"}, {convert::Channel::Right, "Right"}, {convert::Channel::Mix, "Mix"}};

QComboBox* MakeChoice(const QString& name, QWidget* parent)
{
    auto* choice = new CFocusWheelComboBox(parent);
    choice->setObjectName(name);
    choice->setVisible(false);
    return choice;
}

// A drop-down of `values`, each shown as "%1 <unit>".
QComboBox* MakeFormatChoice(const QString& name, const std::vector<unsigned>& values, const QString& unit,
                            QWidget* parent)
{
    auto* choice = MakeChoice(name, parent);
    for (unsigned value : values)
        choice->addItem(QStringLiteral("%1 ").arg(value) + unit, value);
    return choice;
}

void SelectValue(QComboBox* choice, unsigned value)
{
    choice->setCurrentIndex(choice->findData(value));
}

}  // namespace

CFileSelPage::CFileSelPage(COVFtoWAVEDoc& doc, platform::UserInterface& ui, CUserData& settings,
                           const std::string& baseFolder, QWidget* parent)
    : QWidget(parent),
      m_doc(doc),
      m_ui(ui),
      m_settings(settings),
      m_tracks(MakeTrackSlots()),
      m_checks(*this, m_ui, baseFolder),
      m_projectNameEdit(new CProjectNameEdit(this)),
      m_projectNameNote(new QLabel(this)),
      m_rateText(MakeValueLabel("importRateValue", this)),
      m_bitsText(MakeValueLabel("importBitsValue", this)),
      m_rateChoice(MakeFormatChoice(QStringLiteral("importRateChoice"), convert::ProjectRates(), QStringLiteral("Hz"),
                                    this)),
      m_bitsChoice(MakeFormatChoice(QStringLiteral("importBitsChoice"), convert::ProjectWordLengths(),
                                    QStringLiteral("bit"), this)),
      m_convert(MakePageButton(QStringLiteral("&Convert"), "importConvertButton", this)),
      m_exit(MakePageButton(QStringLiteral("E&xit"), "importExitButton", this))
{
    setObjectName(QStringLiteral("fileSelPage"));
    auto* files = MakeGroup(QStringLiteral("Convert Files :"), "convertFilesGroup", this);
    auto* fileGrid = new QGridLayout(files);
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        auto* edit = new CSoundFileEdit(files, [this, k](const QString& name) { return CheckTrackName(k, name); });
        edit->setObjectName(QStringLiteral("trackEdit%1").arg(k + 1));
        edit->setMinimumWidth(kTrackFieldMinimumWidth);
        auto* ref = MakePageButton(QStringLiteral("Ref..."), QStringLiteral("refButton%1").arg(k + 1), files);
        auto* label = MakeCaption(QStringLiteral("Track&%1:").arg(k + 1), QStringLiteral("trackCaption%1").arg(k + 1),
                                  files, edit);
        const int row = static_cast<int>(k) * kRowsPerTrack;
        fileGrid->addWidget(label, row, 0);
        fileGrid->addWidget(edit, row, 1);
        fileGrid->addWidget(ref, row, 2);
        AddPlanRow(k, *fileGrid, row + 1, files);
        m_trackEdits[k] = edit;
        m_refButtons[k] = ref;
        connect(ref, &QPushButton::clicked, this, [this, k] { OnRef(k); });
        connect(edit, &CSoundFileEdit::filesDropped, this, [this, k](const QStringList& paths) {
            // Several files go into this field and the ones after it, in the order dropped.
            for (std::size_t i = 0; i < static_cast<std::size_t>(paths.size()) && k + i < kTrackCount; ++i)
                PutSource(k + i, ToEngine(paths[static_cast<int>(i)]));
        });
    }

    m_projectNameEdit->setObjectName(QStringLiteral("projectNameEdit"));
    m_projectNameNote->setObjectName(QStringLiteral("projectNameNote"));
    m_projectNameNote->setWordWrap(true);
    m_projectNameNote->setVisible(false);
    connect(m_projectNameEdit, &CProjectNameEdit::noteChanged, this, [this](const QString& note) {
        m_projectNameNote->setText(note);
        m_projectNameNote->setVisible(!note.isEmpty());
    });
    auto* information = MakeGroup(QStringLiteral("Information :"), "importInformationGroup", this);
    auto* values = new QGridLayout(information);
    values->addWidget(MakeCaption(QStringLiteral("Project &Name :"), "importProjectNameCaption", information,
                                  m_projectNameEdit), 0, 0);
    values->addWidget(m_projectNameEdit, 0, 1);
    values->addWidget(MakeCaption(QStringLiteral("Sampling Rate :"), "importRateCaption", information), 1, 0);
    values->addWidget(m_rateText, 1, 1);
    values->addWidget(m_rateChoice, 1, 1);
    values->addWidget(MakeCaption(QStringLiteral("Bits :"), "importBitsCaption", information), 2, 0);
    values->addWidget(m_bitsText, 2, 1);
    values->addWidget(m_bitsChoice, 2, 1);
    for (QComboBox* choice : {m_rateChoice, m_bitsChoice})
        connect(choice, &QComboBox::currentIndexChanged, this, &CFileSelPage::RetellPlans);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_convert);
    buttons->addWidget(m_exit);
    auto* bottomRight = new QVBoxLayout;
    bottomRight->addStretch();
    bottomRight->addWidget(m_projectNameNote);
    bottomRight->addLayout(buttons);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(information);
    bottom->addStretch();
    bottom->addLayout(bottomRight);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(files);
    layout->addLayout(bottom);

    connect(m_convert, &QPushButton::clicked, this, &CFileSelPage::OnConvert);
    connect(m_exit, &QPushButton::clicked, this, &CFileSelPage::exitRequested);
    SetTabOrder();

    EnableInputs(false);
    m_projectNameEdit->setText(FromEngine(m_doc.GetNewProjectName()));
}

void CFileSelPage::AddPlanRow(std::size_t index, QGridLayout& grid, int row, QWidget* parent)
{
    auto* note = new QLabel(parent);
    note->setObjectName(QStringLiteral("planNote%1").arg(index + 1));
    note->setTextFormat(Qt::PlainText);
    // A long plan takes a second line rather than widening the page.
    note->setWordWrap(true);
    note->setVisible(false);
    auto* channel = MakeChoice(QStringLiteral("channelChoice%1").arg(index + 1), parent);
    channel->setToolTip(QStringLiteral("The channel of the stereo file that goes onto the track"));
    for (const auto& [choice, text] : kChannelChoices)
        channel->addItem(QString::fromLatin1(text), static_cast<int>(choice));
    grid.addWidget(note, row, 1);
    grid.addWidget(channel, row, 2, Qt::AlignTop);
    connect(channel, &QComboBox::currentIndexChanged, this, &CFileSelPage::RetellPlans);
    m_channelChoices[index] = channel;
    m_planNotes[index] = note;
}

void CFileSelPage::SetTabOrder()
{
    QWidget* previous = m_trackEdits[0];
    const auto chain = [&previous](QWidget* next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        if (k > 0)
            chain(m_trackEdits[k]);
        chain(m_refButtons[k]);
        chain(m_channelChoices[k]);
    }
    chain(m_projectNameEdit);
    chain(m_rateChoice);
    chain(m_bitsChoice);
    chain(m_convert);
    chain(m_exit);
}

COrvoTrack& CFileSelPage::GetTrackSlot(std::uint8_t index)
{
    return m_tracks[index % kTrackCount];
}

void CFileSelPage::EnableInputs(bool enable)
{
    for (std::size_t k = 1; k < kTrackCount; ++k) {
        m_trackEdits[k]->setEnabled(enable);
        m_refButtons[k]->setEnabled(enable);
        m_planNotes[k]->setEnabled(enable);
        m_channelChoices[k]->setEnabled(enable);
    }
    m_projectNameEdit->setEnabled(enable);
    m_convert->setEnabled(enable);
}

void CFileSelPage::ShowFormat(bool show)
{
    m_track1Converts = false;
    m_rateChoice->hide();
    m_bitsChoice->hide();
    m_rateText->show();
    m_bitsText->show();
    const CPCSoundFile* reader = m_tracks[kTrack1].GetReader();
    if (!show || !reader) {
        m_rateText->clear();
        m_bitsText->clear();
        return;
    }
    m_rateText->setText(QStringLiteral("%1 Hz").arg(reader->GetSampleRate()));
    m_bitsText->setText(QStringLiteral("%1 bit").arg(reader->GetBitsPerSample()));
    RetellPlans();
}

void CFileSelPage::ShowFormatChoices(const convert::TargetFormat& format)
{
    m_track1Converts = true;
    m_rateText->hide();
    m_bitsText->hide();
    SelectValue(m_rateChoice, format.rate);
    SelectValue(m_bitsChoice, format.bits);
    m_rateChoice->show();
    m_bitsChoice->show();
}

bool CFileSelPage::PlanConversion(convert::ConversionStage& stage, std::optional<std::size_t> only,
                                  bool chosenFormat) const
{
    convert::SourceRequests requests;
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        const std::string name = ToEngine(m_trackEdits[k]->text());
        if (name.empty() || (only && k != kTrack1 && k != *only))
            continue;
        const auto channel = static_cast<convert::Channel>(m_channelChoices[k]->currentData().toInt());
        requests[k] = convert::SourceRequest{name, m_checks.ResolvePath(name), channel};
    }
    convert::FormatRequest format;
    if (chosenFormat) {
        format.rate = m_rateChoice->currentData().toUInt();
        format.bits = m_bitsChoice->currentData().toUInt();
    }
    return !stage.Plan(requests, format) && stage.Converts();
}

bool CFileSelPage::AcceptConverted(std::size_t index)
{
    convert::ConversionStage stage;
    // A newly named Track 1 starts from the default format of its own.
    const bool track1 = index == kTrack1;
    if (!PlanConversion(stage, index, !track1 && m_track1Converts) || !stage.ConvertedSource(index))
        return false;
    if (track1) {
        // The other tracks compare with the converted Track 1's format, never its file.
        m_tracks[kTrack1].Reset();
        ShowFormatChoices(*stage.Format());
        EnableInputs(true);
    }
    ShowPlan(index, stage);
    if (track1)
        RetellPlans();
    return true;
}

void CFileSelPage::ShowPlan(std::size_t index, const convert::ConversionStage& stage)
{
    m_channelChoices[index]->setVisible(stage.ConvertedSource(index)->channels == kStereoChannels);
    m_planNotes[index]->setText(QString::fromStdString(stage.TrackPlanText(index)));
    m_planNotes[index]->setVisible(true);
}

void CFileSelPage::HidePlan(std::size_t index)
{
    m_channelChoices[index]->setVisible(false);
    m_planNotes[index]->setVisible(false);
    m_planNotes[index]->clear();
}

void CFileSelPage::RetellPlans()
{
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        if (m_planNotes[k]->text().isEmpty())
            continue;
        convert::ConversionStage stage;
        if (PlanConversion(stage, k, m_track1Converts) && stage.ConvertedSource(k))
            ShowPlan(k, stage);
        else
            HidePlan(k);
    }
}

bool CFileSelPage::CheckTrackName(std::size_t index, const QString& name)
{
    if (AcceptConverted(index))
        return true;
    HidePlan(index);
    if (!m_checks.CheckFileName(static_cast<std::uint8_t>(index), ToEngine(name)))
        return true;
    m_trackEdits[index]->FocusForCorrection();
    return false;
}

bool CFileSelPage::SelectReaderFor(std::size_t index, const std::string& path)
{
    return m_tracks[index].SelectReader(path);
}

std::optional<std::string> CFileSelPage::AskForSourceFile(std::size_t index)
{
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Kind::Open;
    request.title = "Sound file for Track " + std::to_string(index + 1);
    request.defaultExtension = ImportDefaultExtension();
    request.filter = ImportFilter();
    std::string workPath;
    if (m_settings.GetWorkPath(workPath))
        request.initialFolder = workPath;
    const auto path = m_ui.RunFileDialog(request);
    if (path)
        m_settings.SetWorkPath(CUserData::GetFolderOf(*path, platform::NamePart(*path)));
    return path;
}

void CFileSelPage::OnRef(std::size_t index)
{
    if (const auto path = AskForSourceFile(index))
        PutSource(index, *path);
}

void CFileSelPage::PutSource(std::size_t index, const std::string& path)
{
    if (!SelectReaderFor(index, path)) {
        ShowRefusal(m_ui, {MessageId::FormatUnknown, Reason::UnknownExtension, path, {}});
        m_trackEdits[index]->clear();
        return;
    }
    m_trackEdits[index]->setText(FromEngine(path));
    CheckTrackName(index, m_trackEdits[index]->text());
}

ImportInputs CFileSelPage::Inputs() const
{
    ImportInputs inputs;
    inputs.projectName = ToEngine(m_projectNameEdit->text());
    for (std::size_t k = 0; k < kTrackCount; ++k)
        inputs.trackNames[k] = ToEngine(m_trackEdits[k]->text());
    return inputs;
}

bool CFileSelPage::ValidateInputs(const ImportInputs& inputs)
{
    const auto refused = m_checks.Validate(inputs, m_doc);
    if (!refused)
        return true;
    // A refusal the checks left unshown is said here; either way the refused track's
    // field takes the focus for the correction.
    if (!refused->shown)
        ShowRefusal(m_ui, refused->refusal);
    if (refused->track)
        m_trackEdits[*refused->track]->FocusForCorrection();
    return false;
}

void CFileSelPage::RunImport(const std::function<void(ImportResult&)>& teller)
{
    CInvertExchange driver(m_tracks, m_doc, m_ui);
    driver.SetResultTeller(teller);
    const ImportResult result = driver.Run();
    // The run's own message has said the rest, its warnings with it.
    if (result.refusal.reason == Reason::Interrupted)
        m_ui.ShowMessage(ImportStoppedText(), platform::MessageIcon::Information, platform::MessageButtons::Ok,
                         {WarningsText(result.warnings), {}});
}

void CFileSelPage::OnConvert()
{
    // Without a disk the free space would be the first check to fail: say why instead.
    if (const auto refusal = m_doc.DiskRefusal(MessageId::ConvertFailed, platform::RealFileSystem())) {
        ShowRefusal(m_ui, *refusal);
        return;
    }
    if (!ConvertAndImport() && ValidateInputs(Inputs()))
        RunImport();
}

bool CFileSelPage::ConvertAndImport()
{
    // The converted files go with the stage, however this ends.
    convert::ConversionStage stage;
    // Track 1 is mandatory: the checks refuse its empty field before anything is converted.
    if (m_trackEdits[kTrack1]->text().isEmpty() || !PlanConversion(stage, std::nullopt, m_track1Converts))
        return false;
    if (const auto refusal = stage.CheckRoom(m_doc)) {
        ShowRefusal(m_ui, *refusal);
        return true;
    }
    ImportInputs inputs = Inputs();
    std::vector<Warning> warnings;
    std::optional<Refusal> refusal;
    {
        const auto progress = m_ui.CreateProgressWindow();
        progress->SetText(kConvertingText);
        progress->ShowWhenSlow();
        const auto stopRequested = [&] {
            progress->StepAnimation();
            return progress->StopRequested() || m_ui.StopRequested();
        };
        refusal = stage.Run(stopRequested, inputs.trackNames, warnings);
    }
    if (refusal && refusal->reason == Reason::Interrupted)
        m_ui.ShowMessage(ImportStoppedText(), platform::MessageIcon::Information, platform::MessageButtons::Ok,
                         {WarningsText(warnings), {}});
    else if (refusal)
        ShowRefusal(m_ui, *refusal, warnings);
    else if (ValidateInputs(inputs))
        RunImport([&stage, &warnings](ImportResult& result) {
            stage.Retell(result.refusal);
            stage.Retell(result.warnings);
            result.warnings.insert(result.warnings.begin(), warnings.begin(), warnings.end());
        });
    return true;
}
