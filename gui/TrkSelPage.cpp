#include "gui/TrkSelPage.h"

#include "app/Document.h"
#include "convert/FlacExport.h"
#include "export/ExportRun.h"
#include "export/Factory.h"
#include "gui/FocusWheelComboBox.h"
#include "gui/GuiText.h"
#include "gui/TrackStrip.h"
#include "gui/WidgetFactory.h"
#include "platform/Messages.h"
#include "platform/UserInterface.h"
#include "recorder/Formats.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr std::size_t kTracksPerColumn = kTrackCount / 2;
// A track box, its virtual-track list and its strip.
constexpr int kColumnsPerTrack = 3;

QString TrackBoxText(std::size_t index)
{
    return QStringLiteral("Track&%1").arg(index + 1);
}

QString VirtualTrackText(int virtualTrack)
{
    return QStringLiteral("VTr%1").arg(virtualTrack);
}

// The virtual track lists show the virtual tracks in order, the first one first.
int VirtualTrackAt(int listIndex)
{
    return CTrackSelectionModel::kFirstVirtualTrack + listIndex;
}

int ListIndexOf(int virtualTrack)
{
    return virtualTrack - CTrackSelectionModel::kFirstVirtualTrack;
}

}  // namespace

CTrkSelPage::CTrkSelPage(COVFtoWAVEDoc& doc, platform::UserInterface& ui, CUserData& settings, QWidget* parent)
    : QWidget(parent),
      m_doc(doc),
      m_ui(ui),
      m_settings(settings),
      m_model(doc),
      m_mono(new QRadioButton(QStringLiteral("&Mono"), this)),
      m_stereo(new QRadioButton(QStringLiteral("&Stereo"), this)),
      m_selectProject(MakePageButton(QStringLiteral("Select &Project"), "selectProjectButton", this)),
      m_nameValue(MakeValueLabel("projectNameValue", this)),
      m_rateValue(MakeValueLabel("samplingRateValue", this)),
      m_bitsValue(MakeValueLabel("bitsValue", this)),
      m_countValue(MakeValueLabel("selectTracksValue", this)),
      m_fileType(new CFocusWheelComboBox(this)),
      m_convert(MakePageButton(QStringLiteral("&Convert"), "convertButton", this)),
      m_exit(MakePageButton(QStringLiteral("E&xit"), "exitButton", this)),
      m_emptyNote(new QLabel(this))
{
    setObjectName(QStringLiteral("trkSelPage"));
    m_mono->setObjectName(QStringLiteral("monoButton"));
    m_stereo->setObjectName(QStringLiteral("stereoButton"));
    m_fileType->setObjectName(QStringLiteral("fileTypeList"));
    convert::AddFlacExport();
    for (const SoundFileType& type : SoundFileTypes())
        m_fileType->addItem(QString::fromLatin1(type.typeName));

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
        for (int index = 0; index < kVirtualTrackCount; ++index)
            list->addItem(VirtualTrackText(VirtualTrackAt(index)));
        auto* strip = new CTrackStrip(tracks);
        strip->setObjectName(QStringLiteral("trackStrip%1").arg(k + 1));
        m_trackBoxes[k] = box;
        m_virtualTrackLists[k] = list;
        m_strips[k] = strip;
        const int row = static_cast<int>(k % kTracksPerColumn);
        const int column = static_cast<int>(k / kTracksPerColumn) * kColumnsPerTrack;
        trackGrid->addWidget(box, row, column);
        trackGrid->addWidget(list, row, column + 1);
        trackGrid->addWidget(strip, row, column + 2);
        connect(box, &QCheckBox::clicked, this, [this, k] { OnTrackBoxClicked(k); });
        connect(list, &QComboBox::currentIndexChanged, this, [this, k](int index) {
            m_model.ChooseVirtualTrack(k, VirtualTrackAt(index));
            Mirror();
        });
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
    m_emptyNote->setObjectName(QStringLiteral("emptyTrackNote"));
    m_emptyNote->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_convert);
    buttons->addWidget(m_exit);
    auto* bottomRight = new QVBoxLayout;
    bottomRight->addStretch();
    bottomRight->addWidget(m_emptyNote);
    bottomRight->addLayout(buttons);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(information, 1);
    bottom->addLayout(bottomRight);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tracks);
    layout->addLayout(bottom);

    connect(m_mono, &QRadioButton::clicked, this, [this] { OnTypeClicked(TrackType::Mono); });
    connect(m_stereo, &QRadioButton::clicked, this, [this] { OnTypeClicked(TrackType::Stereo); });
    connect(m_fileType, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_model.ChooseFileType(ToEngine(m_fileType->itemText(index))); });
    connect(m_selectProject, &QPushButton::clicked, this, &CTrkSelPage::selectProjectRequested);
    connect(m_convert, &QPushButton::clicked, this, &CTrkSelPage::OnConvert);
    connect(m_exit, &QPushButton::clicked, this, &CTrkSelPage::exitRequested);
    SetTabOrder();
    ShowDocument();
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

void CTrkSelPage::RefreshControls()
{
    m_model.Reset();
    ShowDocument();
}

void CTrkSelPage::ShowDocument()
{
    for (QLabel* value : {m_nameValue, m_rateValue, m_bitsValue})
        value->clear();
    if (m_model.ProjectChosen()) {
        m_nameValue->setText(RecorderText(m_doc.m_strProjectName));
        m_rateValue->setText(FromEngine(m_doc.m_strSamplingRate));
        m_bitsValue->setText(FromEngine(m_doc.m_strBits));
    }
    MarkEmptyVirtualTracks();
    Mirror();
}

void CTrkSelPage::MarkEmptyVirtualTracks()
{
    const QBrush empty = palette().brush(QPalette::Disabled, QPalette::Text);
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        for (int index = 0; index < kVirtualTrackCount; ++index) {
            const bool recorded = m_model.HoldsRecording(k, VirtualTrackAt(index));
            m_virtualTrackLists[k]->setItemData(index, recorded ? QVariant() : QVariant(empty), Qt::ForegroundRole);
        }
    }
}

void CTrkSelPage::Mirror()
{
    MirrorType();
    MirrorTracks();
    MirrorFileType();
    if (m_model.ProjectChosen())
        m_countValue->setText(QString::number(m_model.Count()));
    else
        m_countValue->clear();
    m_convert->setEnabled(m_model.ConvertEnabled());
    const auto empty = m_model.EmptyChoice();
    m_emptyNote->setText(empty ? FromEngine(*empty) : QString());
    m_emptyNote->setVisible(empty.has_value());
}

void CTrkSelPage::MirrorType()
{
    if (m_model.Type() != TrackType::Unchosen)
        (m_model.Type() == TrackType::Stereo ? m_stereo : m_mono)->setChecked(true);
    m_mono->setEnabled(m_model.TypeEnabled());
    m_stereo->setEnabled(m_model.TypeEnabled());
}

void CTrkSelPage::MirrorTracks()
{
    for (std::size_t k = 0; k < kTrackCount; ++k) {
        m_trackBoxes[k]->setChecked(m_model.Ticked(k));
        m_trackBoxes[k]->setEnabled(m_model.TrackEnabled(k));
        m_virtualTrackLists[k]->setCurrentIndex(ListIndexOf(m_model.VirtualTrack(k)));
        m_virtualTrackLists[k]->setEnabled(m_model.VirtualTrackEnabled(k));
        const auto rate = RateOfCode(m_doc.m_projectRecord.sampleRate);
        if (m_model.ProjectChosen())
            m_strips[k]->Show(m_model.Recorded(k, m_model.VirtualTrack(k)), m_model.TimelineEnd(), rate ? rate->hz : 0);
        else
            m_strips[k]->Clear();
    }
}

void CTrkSelPage::MirrorFileType()
{
    m_fileType->setCurrentIndex(m_fileType->findText(FromEngine(m_model.FileType())));
    m_fileType->setEnabled(m_model.FileTypeEnabled());
}

void CTrkSelPage::OnTypeClicked(TrackType type)
{
    m_model.ChooseType(type);
    Mirror();
}

void CTrkSelPage::OnTrackBoxClicked(std::size_t index)
{
    m_model.Tick(index, m_trackBoxes[index]->isChecked());
    Mirror();
}

ExportSelection CTrkSelPage::Selection() const
{
    return m_model.Selection();
}

void CTrkSelPage::RunExportRun(const ExportSelection& selection)
{
    const ExportResult result = RunExport(m_ui, m_settings, selection);
    if (result.refusal && result.refusal->reason == Reason::Interrupted)
        m_ui.ShowMessage(ExportStoppedText(result.files.size()), platform::MessageIcon::Information,
                         platform::MessageButtons::Ok, {WarningsText(result.warnings), {}});
}

void CTrkSelPage::OnConvert()
{
    RunExportRun(Selection());
}
