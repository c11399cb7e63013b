#include "gui/MainFrame.h"

#include "gui/AboutDlg.h"
#include "gui/DiskArchive.h"
#include "gui/Drawings.h"
#include "platform/Messages.h"

#include <QActionGroup>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>

namespace {

constexpr int kScreenQuarter = 4;

QAction* AddAction(QMenu* menu, const QString& text, const char* name)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    return action;
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
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setWindowIcon(ProgramIcon());
    setCentralWidget(m_view);
    CreateMenu();
    connect(m_view, &COVFtoWAVEView::pageShown, this, &CMainFrame::OnPageShown);
    connect(m_view, &COVFtoWAVEView::exitRequested, this, &QWidget::close, Qt::QueuedConnection);
    OnPageShown(m_view->ShownPage());

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
    // Alt+P opens the page menu, before any mnemonic of the pages.
    auto* openPageMenu = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_P), this);
    openPageMenu->setObjectName(QStringLiteral("pageMenuShortcut"));
    connect(openPageMenu, &QShortcut::activated, this, [this] { menuBar()->setActiveAction(m_pageMenu->menuAction()); });

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
