#include "gui/OVFtoWAVEView.h"

#include "app/Document.h"
#include "export/ProjectCheck.h"
#include "gui/FileSelPage.h"
#include "gui/GuiText.h"
#include "gui/SelectSongDlg.h"
#include "gui/TrkSelPage.h"

#include <QFileInfo>
#include <QTabWidget>
#include <QVBoxLayout>

COVFtoWAVEView::COVFtoWAVEView(COVFtoWAVEDoc& doc, platform::UserInterface& ui, CUserData& settings,
                               const std::string& baseFolder, QWidget* parent)
    : QWidget(parent),
      m_doc(doc),
      m_ui(ui),
      m_pTab(new QTabWidget(this)),
      m_trkSelPage(new CTrkSelPage(doc, ui, settings, m_pTab)),
      m_fileSelPage(new CFileSelPage(doc, ui, settings, baseFolder, m_pTab))
{
    setObjectName(QStringLiteral("mainView"));
    m_pTab->setObjectName(QStringLiteral("pageTabs"));
    m_pTab->addTab(m_trkSelPage, QStringLiteral("MO->File"));
    m_pTab->addTab(m_fileSelPage, QStringLiteral("File->MO"));
    m_pTab->setCurrentIndex(MoToFile);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTab);

    // The one place where the shown page changes: click, keyboard, wheel, Ctrl+Tab and the menu.
    connect(m_pTab, &QTabWidget::currentChanged, this, [this](int index) { emit pageShown(static_cast<Page>(index)); });
    connect(m_trkSelPage, &CTrkSelPage::selectProjectRequested, this, &COVFtoWAVEView::OnSelectProject);
    connect(m_trkSelPage, &CTrkSelPage::exitRequested, this, &COVFtoWAVEView::exitRequested);
    connect(m_fileSelPage, &CFileSelPage::exitRequested, this, &COVFtoWAVEView::exitRequested);
}

void COVFtoWAVEView::SelectPage(Page page)
{
    m_pTab->setCurrentIndex(page);
}

COVFtoWAVEView::Page COVFtoWAVEView::ShownPage() const
{
    return static_cast<Page>(m_pTab->currentIndex());
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
    if (m_doc.m_bProjectChosen && !DiskListsProject(m_doc.m_strFnbPath, m_doc.m_projectRecord))
        m_doc.ForgetProject();
    m_trkSelPage->RefreshControls();
    emit diskChanged();
}

bool COVFtoWAVEView::RunSelectProject()
{
    CSelectSongDlg dialog(m_doc, window());
    return dialog.exec() == QDialog::Accepted;
}

void COVFtoWAVEView::OnSelectProject()
{
    if (m_doc.ChooseProject([this] { return RunSelectProject(); }))
        m_trkSelPage->RefreshControls();
}
