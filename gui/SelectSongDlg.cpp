#include "gui/SelectSongDlg.h"

#include "app/Document.h"
#include "export/ProjectList.h"
#include "gui/GuiText.h"
#include "gui/WidgetFactory.h"
#include "recorder/Errors.h"
#include "recorder/FnbTextFile.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr const char* kTitle = "Select Project";

// The disk's projects with the texts the dialog shows for each.
CProjectChoice ChoiceOn(COVFtoWAVEDoc& doc)
{
    const ProjectListing listing = ReadProjectList(doc.m_strFnbPath);
    std::vector<ProjectEntry> entries;
    for (const sobinder& record : listing.records)
        entries.push_back({record, {SongNameOf(record), SampleRateText(record.sampleRate), BitsText(record.wordLength)}});
    return CProjectChoice(doc, std::move(entries), listing.indexOpened);
}

// What an interrupted import left on the disk, a line each; hidden when nothing was left.
QLabel* MakeLeftoverNote(const COVFtoWAVEDoc& doc, QWidget* parent)
{
    auto* note = new QLabel(parent);
    note->setObjectName(QStringLiteral("leftoverNote"));
    note->setWordWrap(true);
    const auto warnings = InterruptedImportWarnings(platform::RealFileSystem(), doc.m_strMoFolder);
    note->setText(MessageBoxText(WarningsText(warnings)));
    note->setVisible(!warnings.empty());
    return note;
}

}  // namespace

CSelectSongDlg::CSelectSongDlg(COVFtoWAVEDoc& doc, QWidget* parent)
    : QDialog(parent),
      m_choice(ChoiceOn(doc)),
      m_list(new QListWidget(this)),
      m_nameValue(MakeValueLabel("projectNameValue", this)),
      m_rateValue(MakeValueLabel("samplingRateValue", this)),
      m_bitsValue(MakeValueLabel("bitsValue", this)),
      m_select(new QPushButton(QStringLiteral("&Select"), this))
{
    setObjectName(QStringLiteral("selectProjectDialog"));
    setWindowTitle(QString::fromLatin1(kTitle));
    m_list->setObjectName(QStringLiteral("projectList"));
    m_select->setObjectName(QStringLiteral("selectButton"));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    m_select->setDefault(true);

    auto* information = MakeGroup(QStringLiteral("Information :"), "informationGroup", this);
    auto* fields = new QFormLayout(information);
    fields->addRow(MakeCaption(QStringLiteral("Project Name :"), "projectNameCaption", information), m_nameValue);
    fields->addRow(MakeCaption(QStringLiteral("Sampling Rate :"), "samplingRateCaption", information), m_rateValue);
    fields->addRow(MakeCaption(QStringLiteral("Bits :"), "bitsCaption", information), m_bitsValue);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_select);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(information);
    layout->addWidget(MakeLeftoverNote(doc, this));

    connect(m_select, &QPushButton::clicked, this, &CSelectSongDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CSelectSongDlg::reject);
    connect(m_list, &QListWidget::currentRowChanged, this, &CSelectSongDlg::ShowInformation);
    LoadProjects();
    m_list->setFocus();
}

void CSelectSongDlg::LoadProjects()
{
    m_select->setEnabled(m_choice.CanSelect());
    for (const ProjectEntry& entry : m_choice.Entries())
        m_list->addItem(RecorderText(ProjectListLine(entry.record)));
    if (!m_choice.Entries().empty())
        m_list->setCurrentRow(0);
}

void CSelectSongDlg::ShowInformation(int row)
{
    m_choice.Highlight(row);
    const ProjectTexts& shown = m_choice.Shown();
    m_nameValue->setText(RecorderText(shown.name));
    m_rateValue->setText(FromEngine(shown.rate));
    m_bitsValue->setText(FromEngine(shown.bits));
}

void CSelectSongDlg::accept()
{
    if (m_choice.Select(m_list->currentRow()))
        QDialog::accept();
}
