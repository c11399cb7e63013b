#include "gui/TrkSelPage.h"

#include "app/Document.h"
#include "export/ExportRun.h"
#include "export/Factory.h"
#include "gui/FocusWheelComboBox.h"
#include "gui/GuiText.h"
#include "gui/WidgetFactory.h"
#include "platform/Messages.h"
#include "platform/UserInterface.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kMonoLimit = static_cast<int>(kTrackCount);
constexpr int kStereoLimit = 2;
constexpr std::size_t kTracksPerColumn = kTrackCount / 2;

QString TrackBoxText(std::size_t index)
{
    return QStringLiteral("Track&%1").arg(index + 1);
}

QString VirtualTrackText(int virtualTrack)
{
    return QStringLiteral("VTr%1").arg(virtualTrack);
}

}  // namespace

CTrkSelPage::CTrkSelPage(COVFtoWAVEDoc& doc, platform::UserInterface& ui, CUserData& settings, QWidget* parent)
    : QWidget(parent),
      m_doc(doc),
      m_ui(ui),
      m_settings(settings),
      m_mono(new QRadioButton(QStringLiteral("&Mono"), this)),
      m_stereo(new QRadioButton(QStringLiteral("&Stereo"), this)),
      m_selectProject(MakePageButton(QStringLiteral("Select &Project"), "selectProjectButton", this)),
      m_nameValue(MakeValueLabel("projectNameValue", this)),
      m_rateValue(MakeValueLabel("samplingRateValue", this)),
      m_bitsValue(MakeValueLabel("bitsValue", this)),
      m_countValue(MakeValueLabel("selectTracksValue", this)),
      m_fileType(new CFocusWheelComboBox(this)),
      m_convert(MakePageButton(QStringLiteral("&Convert"), "convertButton", this)),
      m_exit(MakePageButton(QStringLiteral("E&xit"), "exitButton", this))
{
    setObjectName(QStringLiteral("trkSelPage"));
    m_mono->setObjectName(QStringLiteral("monoButton"));
    m_stereo->setObjectName(QStringLiteral("stereoButton"));
    m_fileType->setObjectName(QStringLiteral("fileTypeList"));
    for (const SoundFileType& type : SoundFileTypes())
        m_fileType->addItem(QString::fromLatin1(type.typeName));
    // The menu's Alt+P opens "P&age"; the button keeps its underline without a shortcut.
    m_selectProject->setShortcut(QKeySequence());

    auto* mode = MakeGroup(QStringLiteral("Track Type:"), "trackTypeGroup", this);
    auto* modeLayout = new QHBoxLayout(mode);
    modeLayout->addWidget(m_mono);
    modeLayout->addWidget(m_stereo);
    modeLayout->addStretch();

    auto* tracks = MakeGroup(QStringLiteral("Track Select :"), "trackSelectGroup", this);
    auto* trackGrid = new QGridLayout(tracks);
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        auto* box = new QCheckBox(TrackBoxText(k), tracks);
        box->setObjectName(QStringLiteral("trackBox%1").arg(k + 1));
        auto* list = new CFocusWheelComboBox(tracks);
        list->setObjectName(QStringLiteral("virtualTrackList%1").arg(k + 1));
        for (int v = 1; v <= kVirtualTrackCount; ++v)
            list->addItem(VirtualTrackText(v));
        m_trackBoxes[k] = box;
        m_virtualTrackLists[k] = list;
        const int row = static_cast<int>(k % kTracksPerColumn);
        const int column = static_cast<int>(k / kTracksPerColumn) * 2;
        trackGrid->addWidget(box, row, column);
        trackGrid->addWidget(list, row, column + 1);
        connect(box, &QCheckBox::clicked, this, [this, k] { OnTrackBoxClicked(k); });
    }

    auto* information = MakeGroup(QStringLiteral("Information :"), "informationGroup", this);
    auto* values = new QGridLayout(information);
    values->addWidget(MakeCaption(QStringLiteral("Project Name :"), "projectNameCaption", information), 0, 0);
    values->addWidget(m_nameValue, 0, 1);
    values->addWidget(MakeCaption(QStringLiteral("Sampling Rate :"), "samplingRateCaption", information), 1, 0);
    values->addWidget(m_rateValue, 1, 1);
    values->addWidget(MakeCaption(QStringLiteral("Bits :"), "bitsCaption", information), 2, 0);
    values->addWidget(m_bitsValue, 2, 1);
    values->addWidget(MakeCaption(QStringLiteral("Select Tracks :"), "selectTracksCaption", information), 3, 0);
    values->addWidget(m_countValue, 3, 1);
    values->addWidget(MakeCaption(QStringLiteral("&File Type :"), "fileTypeCaption", information, m_fileType), 4, 0);
    values->addWidget(m_fileType, 4, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(mode, 1);
    top->addWidget(m_selectProject, 0, Qt::AlignBottom);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_convert);
    buttons->addWidget(m_exit);
    auto* bottomRight = new QVBoxLayout;
    bottomRight->addStretch();
    bottomRight->addLayout(buttons);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(information, 1);
    bottom->addLayout(bottomRight);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tracks);
    layout->addLayout(bottom);

    connect(m_mono, &QRadioButton::clicked, this, [this] { OnModeClicked(kMonoLimit); });
    connect(m_stereo, &QRadioButton::clicked, this, [this] { OnModeClicked(kStereoLimit); });
    connect(m_selectProject, &QPushButton::clicked, this, &CTrkSelPage::selectProjectRequested);
    connect(m_convert, &QPushButton::clicked, this, &CTrkSelPage::OnConvert);
    connect(m_exit, &QPushButton::clicked, this, &CTrkSelPage::exitRequested);
    SetTabOrder();

    m_convert->setEnabled(false);
    if (m_doc.m_bProjectChosen)
        RefreshControls();
    else
        EnterNoProjectState();
}

void CTrkSelPage::SetTabOrder()
{
    QWidget* previous = m_mono;
    const auto chain = [&previous](QWidget* next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    chain(m_stereo);
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        chain(m_trackBoxes[k]);
        chain(m_virtualTrackLists[k]);
    }
    chain(m_selectProject);
    chain(m_fileType);
    chain(m_convert);
    chain(m_exit);
}

void CTrkSelPage::ResetLists()
{
    for (QComboBox* list : m_virtualTrackLists)
        list->setCurrentIndex(0);
    m_fileType->setCurrentIndex(0);
}

void CTrkSelPage::ClearValues()
{
    for (QLabel* value : {m_nameValue, m_rateValue, m_bitsValue, m_countValue})
        value->clear();
}

void CTrkSelPage::EnterNoProjectState()
{
    ResetLists();
    m_mono->setEnabled(false);
    m_stereo->setEnabled(false);
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        m_trackBoxes[k]->setChecked(false);
        m_trackBoxes[k]->setEnabled(false);
        m_virtualTrackLists[k]->setEnabled(false);
    }
    m_fileType->setEnabled(false);
    ClearValues();
    m_chosenCount = 0;
}

void CTrkSelPage::RefreshControls()
{
    m_mono->setChecked(true);
    OnModeClicked(kMonoLimit);
    if (!m_doc.m_bProjectChosen) {
        EnterNoProjectState();
        return;
    }
    ResetLists();
    ClearValues();
    m_nameValue->setText(RecorderText(m_doc.m_strProjectName));
    m_rateValue->setText(FromEngine(m_doc.m_strSamplingRate));
    m_bitsValue->setText(FromEngine(m_doc.m_strBits));
    m_countValue->setText(QString::number(m_chosenCount));
}

void CTrkSelPage::Prepare()
{
    m_mono->setEnabled(true);
    m_stereo->setEnabled(true);
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        m_trackBoxes[k]->setEnabled(true);
        m_trackBoxes[k]->setChecked(false);
        m_virtualTrackLists[k]->setEnabled(false);
    }
    m_fileType->setEnabled(true);
}

void CTrkSelPage::Recount()
{
    m_chosenCount = 0;
    for (const QCheckBox* box : m_trackBoxes)
        m_chosenCount += box->isChecked() ? 1 : 0;
    m_countValue->setText(QString::number(m_chosenCount));
    m_convert->setEnabled(m_chosenCount >= 1);
}

void CTrkSelPage::ApplyLimitRule()
{
    const bool full = m_chosenCount >= m_trackLimit;
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        const bool ticked = m_trackBoxes[k]->isChecked();
        if (full && ticked)
            continue;  // ticked boxes and their lists stay as they are
        m_trackBoxes[k]->setEnabled(!full);
        m_virtualTrackLists[k]->setEnabled(!full && ticked);
    }
}

void CTrkSelPage::OnModeClicked(int trackLimit)
{
    m_trackLimit = trackLimit;
    Prepare();
    Recount();
}

void CTrkSelPage::OnTrackBoxClicked(std::size_t index)
{
    Recount();
    m_virtualTrackLists[index]->setEnabled(m_trackBoxes[index]->isChecked());
    ApplyLimitRule();
}

ExportSelection CTrkSelPage::Selection() const
{
    ExportSelection selection;
    selection.moFolder = m_doc.m_strMoFolder;
    selection.project = m_doc.m_projectRecord;
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        if (m_trackBoxes[k]->isChecked())
            selection.virtualTracks[k] = m_virtualTrackLists[k]->currentIndex() + 1;
    }
    selection.stereo = !m_mono->isChecked();
    selection.fileType = ToEngine(m_fileType->currentText());
    return selection;
}

void CTrkSelPage::RunExportRun(const ExportSelection& selection)
{
    RunExport(m_ui, m_settings, selection);
}

void CTrkSelPage::OnConvert()
{
    RunExportRun(Selection());
}
