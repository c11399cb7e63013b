#include "gui/MainFrame.h"

#include "app/Document.h"
#include "gui/AboutDlg.h"
#include "gui/DiskArchive.h"
#include "gui/Drawings.h"
#include "gui/GuiText.h"
#include "platform/Messages.h"

#include <QActionGroup>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QDir>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>

namespace {

constexpr int kScreenQuarter = 4;

QAction* AddAction(QMenu* menu, const QString& text, const char* name)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

// The one folder of this computer that is dropped, as the engine spells paths; empty otherwise.
std::string DroppedFolder(const QMimeData* data)
{
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile() || !QFileInfo(urls.front().toLocalFile()).isDir())
        return {};
    return ToEngine(QDir::toNativeSeparators(urls.front().toLocalFile()));
}

QMenu* AddMenu(QMenuBar* bar, const QString& title, const char* name)
{
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

}  // namespace

CMainFrame::CMainFrame(COVFtoWAVEDoc& doc, platform::UserInterface& ui, CUserData& settings,
                       const std::string& baseFolder)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowCloseButtonHint),
      m_doc(doc),
      m_ui(ui),
      m_settings(settings),
      m_view(new COVFtoWAVEView(doc, ui, settings, baseFolder, this))
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    setCentralWidget(m_view);
    CreateMenu();
    connect(m_view, &COVFtoWAVEView::pageShown, this, &CMainFrame::OnPageShown);
    connect(m_view, &COVFtoWAVEView::exitRequested, this, &QWidget::close, Qt::QueuedConnection);
    connect(m_view, &COVFtoWAVEView::diskChanged, this, &CMainFrame::ShowDiskInTitle);
    OnPageShown(m_view->ShownPage());
    ShowDiskInTitle();

    layout()->activate();
    setFixedSize(sizeHint());
    PlaceOnScreen();
}

void CMainFrame::CreateMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    QMenu* select = AddMenu(bar, QStringLiteral("S&elect"), "selectMenu");
    connect(AddAction(select, QStringLiteral("Select &Drive..."), "selectDriveAction"), &QAction::triggered, m_view,
            &COVFtoWAVEView::OnSelectDrive);
    m_selectProject = AddAction(select, QStringLiteral("Select &Project..."), "selectProjectAction");
    connect(m_selectProject, &QAction::triggered, m_view, &COVFtoWAVEView::OnSelectProject);
    connect(AddAction(select, QStringLiteral("&Archive Disk..."), "archiveDiskAction"), &QAction::triggered, this,
            &CMainFrame::OnArchiveDisk);
    select->addSeparator();
    connect(AddAction(select, QStringLiteral("E&xit"), "exitAction"), &QAction::triggered, this, &QWidget::close);

    m_pageMenu = AddMenu(bar, QStringLiteral("P&age"), "pageMenu");
    auto* pages = new QActionGroup(this);
    pages->setExclusive(true);
    m_moToFile = AddAction(m_pageMenu, QStringLiteral("&MO->File"), "moToFileAction");
    m_fileToMo = AddAction(m_pageMenu, QStringLiteral("&File->MO"), "fileToMoAction");
    for (QAction* page : {m_moToFile, m_fileToMo}) {
        page->setCheckable(true);
        pages->addAction(page);
    }
    connect(m_moToFile, &QAction::triggered, this, [this] { m_view->SelectPage(COVFtoWAVEView::MoToFile); });
    connect(m_fileToMo, &QAction::triggered, this, [this] { m_view->SelectPage(COVFtoWAVEView::FileToMo); });

    QMenu* help = AddMenu(bar, QStringLiteral("&Help"), "helpMenu");
    connect(AddAction(help, QStringLiteral("&About Wavelorn..."), "aboutAction"), &QAction::triggered, this,
            &CMainFrame::OnAbout);
}

void CMainFrame::SetProjectCmdEnabled(bool enabled)
{
    m_selectProject->setEnabled(enabled);
}

void CMainFrame::OnPageShown(COVFtoWAVEView::Page page)
{
    const bool moToFile = page == COVFtoWAVEView::MoToFile;
    m_moToFile->setChecked(moToFile);
    m_fileToMo->setChecked(!moToFile);
    SetProjectCmdEnabled(moToFile);
}

void CMainFrame::ShowDiskInTitle()
{
    const QString title = QString::fromLatin1(kApplicationTitle);
    const QString disk = FromEngine(m_doc.m_strMoFolder);
    setWindowTitle(disk.isEmpty() ? title : QDir::toNativeSeparators(disk) + QStringLiteral(" - ") + title);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFolder(event->mimeData()).empty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const std::string folder = DroppedFolder(event->mimeData());
    if (folder.empty())
        return;
    event->acceptProposedAction();
    m_view->OpenDisk(folder);
}

void CMainFrame::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CMainFrame::OnArchiveDisk()
{
    CDiskArchive(m_doc, m_ui, m_settings, this).Run();
}

void CMainFrame::PlaceOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    move(area.x() + area.width() / kScreenQuarter, area.y() + area.height() / kScreenQuarter);
}
