#include "gui/ArchiveDlg.h"

#include "convert/FlacFile.h"
#include "gui/GuiText.h"
#include "gui/WidgetFactory.h"
#include "platform/UserInterface.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr const char* kTitle = "Archive Disk";
constexpr const char* kBrowserTitle = "Select Archive Folder :";
constexpr int kFolderMinimumWidth = 320;

QComboBox* MakeFormatList(QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("formatList"));
    list->addItem(QStringLiteral("WAVE"), static_cast<int>(archive::ArchiveFormat::Wave));
    if (convert::FlacAvailable())
        list->addItem(QStringLiteral("FLAC"), static_cast<int>(archive::ArchiveFormat::Flac));
    return list;
}

}  // namespace

CArchiveDlg::CArchiveDlg(platform::UserInterface& ui, const std::string& folder, FolderCheck check, QWidget* parent)
    : QDialog(parent),
      m_ui(ui),
      m_check(std::move(check)),
      m_folder(new QLineEdit(FromEngine(folder), this)),
      m_format(MakeFormatList(this)),
      m_ok(nullptr)
{
    setObjectName(QStringLiteral("archiveDialog"));
    setWindowTitle(QString::fromLatin1(kTitle));
    m_folder->setObjectName(QStringLiteral("outdirEdit"));
    m_folder->setMinimumWidth(kFolderMinimumWidth);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
    browse->setObjectName(QStringLiteral("browseButton"));
    browse->setAutoDefault(false);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder);
    folderRow->addWidget(browse);
    auto* form = new QFormLayout;
    form->addRow(MakeCaption(QStringLiteral("&Output folder:"), QStringLiteral("outdirCaption"), this, m_folder),
                 folderRow);
    form->addRow(MakeCaption(QStringLiteral("&Format:"), QStringLiteral("formatCaption"), this, m_format), m_format);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(browse, &QPushButton::clicked, this, &CArchiveDlg::OnBrowse);
    connect(m_folder, &QLineEdit::textChanged, this, &CArchiveDlg::OnFolderEdited);
    connect(buttons, &QDialogButtonBox::accepted, this, &CArchiveDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CArchiveDlg::reject);
    OnFolderEdited();
    m_folder->setFocus();
}

std::string CArchiveDlg::Outdir() const
{
    return ToEngine(m_folder->text().trimmed());
}

archive::ArchiveFormat CArchiveDlg::Format() const
{
    return static_cast<archive::ArchiveFormat>(m_format->currentData().toInt());
}

void CArchiveDlg::accept()
{
    if (Outdir().empty() || (m_check && !m_check(Outdir())))
        return;
    QDialog::accept();
}

void CArchiveDlg::OnBrowse()
{
    if (const auto chosen = m_ui.BrowseForFolder(kBrowserTitle, Outdir()))
        m_folder->setText(FromEngine(*chosen));
}

void CArchiveDlg::OnFolderEdited()
{
    m_ok->setEnabled(!Outdir().empty());
}
