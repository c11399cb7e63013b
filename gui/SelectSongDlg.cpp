#include "gui/SelectSongDlg.h"

#include "app/Document.h"
#include "export/ProjectList.h"
#include "gui/GuiText.h"
#include "gui/WidgetFactory.h"

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

}  // namespace

CSelectSongDlg::CSelectSongDlg(COVFtoWAVEDoc& doc, QWidget* parent)
    : QDialog(parent),
      m_doc(doc),
      m_fnbPath(doc.m_strFnbPath),
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

    connect(m_select, &QPushButton::clicked, this, &CSelectSongDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CSelectSongDlg::reject);
    connect(m_list, &QListWidget::currentRowChanged, this, &CSelectSongDlg::ShowInformation);
    LoadProjects();
    m_list->setFocus();
}

void CSelectSongDlg::LoadProjects()
{
    const ProjectListing listing = ReadProjectList(m_fnbPath);
    m_select->setEnabled(listing.indexOpened);
    m_records = listing.records;
    for (const auto& record : m_records)
        m_list->addItem(RecorderText(ProjectListLine(record)));
    if (!m_records.empty())
        m_list->setCurrentRow(0);
}

void CSelectSongDlg::ShowInformation(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_records.size())
        return;
    const sobinder& record = m_records[static_cast<std::size_t>(row)];
    m_nameText = SongNameOf(record);
    m_rateText = SampleRateText(record.sampleRate);
    m_bitsText = BitsText(record.wordLength);
    m_nameValue->setText(RecorderText(m_nameText));
    m_rateValue->setText(FromEngine(m_rateText));
    m_bitsValue->setText(FromEngine(m_bitsText));
}

void CSelectSongDlg::accept()
{
    m_doc.m_strProjectName = m_nameText;
    m_doc.m_strSamplingRate = m_rateText;
    m_doc.m_strBits = m_bitsText;
    const int row = m_list->currentRow();
    if (row < 0) {
        m_doc.m_projectRecord = sobinder{};
        return;
    }
    m_doc.m_projectRecord = m_records[static_cast<std::size_t>(row)];
    QDialog::accept();
}
