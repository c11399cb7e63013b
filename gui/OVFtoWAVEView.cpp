#include "gui/OVFtoWAVEView.h"

#include "app/Document.h"
#include "export/ProjectCheck.h"
#include "gui/FileSelPage.h"
#include "gui/GuiText.h"
#include "gui/SelectSongDlg.h"
#include "gui/TrkSelPage.h"
#include "platform/FileSystem.h"
#include "platform/UserInterface.h"

#include <QFileInfo>
#include <QLabel>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr const char* kProjectForgottenNote = "; the project chosen before is not on this disk: Select Project";
constexpr const char* kDiskCaption = "Disk: ";
// The disk line keeps room for a reason that wraps onto a second line: the window does not grow.
constexpr int kDiskNoteLines = 2;

}  // namespace

COVFtoWAVEView::COVFtoWAVEView(COVFtoWAVEDoc& doc, platform::UserInterface& ui, CUserData& settings,
                               const std::string& baseFolder, QWidget* parent)
    : QWidget(parent),
      m_doc(doc),
      m_ui(ui),
      m_pTab(new QTabWidget(this)),
      m_trkSelPage(new CTrkSelPage(doc, ui, settings, m_pTab)),
      m_fileSelPage(new CFileSelPage(doc, ui, settings, baseFolder, m_pTab)),
      m_diskNote(new QLabel(this))
{
    setObjectName(QStringLiteral("mainView"));
    m_pTab->setObjectName(QStringLiteral("pageTabs"));
    m_pTab->addTab(m_trkSelPage, QStringLiteral("MO->File"));
    m_pTab->addTab(m_fileSelPage, QStringLiteral("File->MO"));
    m_pTab->setCurrentIndex(MoToFile);
    m_diskNote->setObjectName(QStringLiteral("diskNote"));
    m_diskNote->setWordWrap(true);
    m_diskNote->setTextFormat(Qt::PlainText);
    m_diskNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_diskNote->setMinimumHeight(m_diskNote->fontMetrics().lineSpacing() * kDiskNoteLines);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTab);
    layout->addWidget(m_diskNote);
    ShowDisk();

    // The one place where the shown page changes: click, keyboard, wheel, Ctrl+Tab and the menu.
    connect(m_pTab, &QTabWidget::currentChanged, this, [this](int index) {
        ShowDisk();
        emit pageShown(static_cast<Page>(index));
    });
    AddPageKeys();
    connect(m_trkSelPage, &CTrkSelPage::selectProjectRequested, this, &COVFtoWAVEView::OnSelectProject);
    connect(m_trkSelPage, &CTrkSelPage::exitRequested, this, &COVFtoWAVEView::exitRequested);
    connect(m_fileSelPage, &CFileSelPage::exitRequested, this, &COVFtoWAVEView::exitRequested);
}

void COVFtoWAVEView::AddPageKeys()
{
    // A list or a type choice keeps Ctrl+Tab for itself, so the tabs alone would not see it
    // from every field: these shortcuts reach the page switch wherever the focus is.
    struct PageKey {
        QKeySequence keys;
        int step;
    };
    const PageKey keys[] = {{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
                            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1}};
    for (const PageKey& key : keys) {
        auto* shortcut = new QShortcut(key.keys, this);
        const int step = key.step;
        connect(shortcut, &QShortcut::activated, this, [this, step] {
            const int count = m_pTab->count();
            m_pTab->setCurrentIndex((m_pTab->currentIndex() + step + count) % count);
        });
    }
}

void COVFtoWAVEView::SelectPage(Page page)
{
    m_pTab->setCurrentIndex(page);
}

COVFtoWAVEView::Page COVFtoWAVEView::ShownPage() const
{
    return static_cast<Page>(m_pTab->currentIndex());
}

void COVFtoWAVEView::ShowDisk()
{
    const auto refusal = m_doc.DiskRefusal(MessageId::FileNotFound, platform::RealFileSystem());
    m_diskNote->setText(FromEngine(refusal ? Explain(*refusal) : kDiskCaption + m_doc.m_strMoFolder));
}

void COVFtoWAVEView::OnSelectDrive()
{
    if (m_doc.ChooseMoFolder(m_ui))
        FollowDiskChange();
}

void COVFtoWAVEView::OpenDisk(const std::string& folder)
{
    if (QFileInfo(FromEngine(folder)).isDir() && m_doc.SetMoFolder(folder))
        FollowDiskChange();
}

void COVFtoWAVEView::FollowDiskChange()
{
    // The chosen project stays only when the new disk holds that very record.
    const bool forgotten = m_doc.m_bProjectChosen && !DiskListsProject(m_doc.m_strFnbPath, m_doc.m_projectRecord);
    if (forgotten)
        m_doc.ForgetProject();
    m_trkSelPage->RefreshControls();
    ShowDisk();
    if (forgotten)
        m_diskNote->setText(m_diskNote->text() + QString::fromLatin1(kProjectForgottenNote));
    emit diskChanged();
}

bool COVFtoWAVEView::RunSelectProject()
{
    CSelectSongDlg dialog(m_doc, window());
    return dialog.exec() == QDialog::Accepted;
}

void COVFtoWAVEView::OnSelectProject()
{
    ShowDisk();
    // Without a disk the list would be empty: the message says why instead.
    if (const auto refusal = m_doc.DiskRefusal(MessageId::FileNotFound, platform::RealFileSystem())) {
        ShowRefusal(m_ui, *refusal);
        return;
    }
    if (m_doc.ChooseProject([this] { return RunSelectProject(); }))
        m_trkSelPage->RefreshControls();
}
