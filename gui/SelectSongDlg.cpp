#include "gui/SelectSongDlg.h"

#include "app/Document.h"
#include "export/PendingProjects.h"
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

constexpr const char* kPendingMark = "  (pending)";
constexpr const char* kPendingNote =
    "This project was imported and the recorder has not read the disk since: it takes the project over "
    "then, and only then can it be exported.";

// The disk's projects with the texts the dialog shows for each, then the pending ones;
// `lines` gets the list's line of each.
CProjectChoice ChoiceOn(COVFtoWAVEDoc& doc, QStringList& lines)
{
    const ProjectListing listing = ReadProjectList(doc.m_strFnbPath);
    std::vector<ProjectEntry> entries;
    for (const sobinder& record : listing.records) {
        entries.push_back({record, {SongNameOf(record), SampleRateText(record.sampleRate), BitsText(record.wordLength)}});
        lines << RecorderText(ProjectListLine(record));
    }
    for (const auto& project : PendingProjects(doc.m_strMoFolder, listing.records)) {
        entries.push_back({sobinder{},
                           {project.title, SampleRateText(project.rateCode.value_or(0)),
                            BitsText(project.wordLengthCode.value_or(0))},
                           true});
        lines << RecorderText(project.number + " : " + project.title) + QString::fromLatin1(kPendingMark);
    }
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
      m_choice(ChoiceOn(doc, m_lines)),
      m_list(new QListWidget(this)),
      m_nameValue(MakeValueLabel("projectNameValue", this)),
      m_rateValue(MakeValueLabel("samplingRateValue", this)),
      m_bitsValue(MakeValueLabel("bitsValue", this)),
      m_select(new QPushButton(QStringLiteral("&Select"), this)),
      m_pendingNote(new QLabel(QString::fromLatin1(kPendingNote), this))
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
    m_pendingNote->setObjectName(QStringLiteral("pendingNote"));
    m_pendingNote->setWordWrap(true);
    m_pendingNote->hide();
    layout->addWidget(m_pendingNote);
    layout->addWidget(MakeLeftoverNote(doc, this));

    connect(m_select, &QPushButton::clicked, this, &CSelectSongDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CSelectSongDlg::reject);
    connect(m_list, &QListWidget::currentRowChanged, this, &CSelectSongDlg::ShowInformation);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] {
        if (m_select->isEnabled())
            accept();
    });
    LoadProjects();
    m_list->setFocus();
}

void CSelectSongDlg::LoadProjects()
{
    m_select->setEnabled(m_choice.CanSelect());
    m_list->addItems(m_lines);
    if (!m_choice.Entries().empty())
        m_list->setCurrentRow(0);
}

void CSelectSongDlg::ShowInformation(int row)
{
    m_choice.Highlight(row);
    m_select->setEnabled(m_choice.CanSelect(row));
    m_pendingNote->setVisible(!m_choice.CanSelect(row) && m_choice.CanSelect());
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
