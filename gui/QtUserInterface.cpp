#include "gui/QtUserInterface.h"

#include "gui/CheckedFileDialog.h"
#include "gui/ConvStatAnimDlg.h"
#include "gui/GuiText.h"
#include "gui/WidgetFactory.h"
#include "platform/Files.h"
#include "platform/Messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace gui {

namespace {

constexpr const char* kPortDialogProperty = "wavelornPortDialog";

QMessageBox::Icon QtIcon(platform::MessageIcon icon)
{
    return icon == platform::MessageIcon::Information ? QMessageBox::Information : QMessageBox::Warning;
}

// A stored folder that no longer exists opens the home folder.
QString ExistingFolderOr(const std::string& folder, const QString& fallback)
{
    const QString shown = FromEngine(folder);
    return !shown.isEmpty() && QFileInfo(shown).isDir() ? shown : fallback;
}

// The chosen folder without a trailing separator ("/" for the root).
std::string FolderWithoutSeparator(const QString& folder)
{
    return ToEngine(QDir::toNativeSeparators(QDir::cleanPath(folder)));
}

// Lifts the wait cursor while a dialog or message box of the port is open.
class WaitCursorLift {
public:
    explicit WaitCursorLift(int waitDepth) : m_lifted(waitDepth > 0)
    {
        if (m_lifted)
            QGuiApplication::restoreOverrideCursor();
    }
    ~WaitCursorLift()
    {
        if (m_lifted)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    WaitCursorLift(const WaitCursorLift&) = delete;
    WaitCursorLift& operator=(const WaitCursorLift&) = delete;

private:
    bool m_lifted;
};

// The button of a result box that closes it and opens the folder of the files written;
// OK stays the default, and Escape closes the box without opening anything.
QAbstractButton* AddOpenFolderButton(QMessageBox& box)
{
    QPushButton* button = box.addButton(QStringLiteral("Open &Folder"), QMessageBox::ActionRole);
    button->setObjectName(QStringLiteral("openFolderButton"));
    return button;
}

}  // namespace

void QtUserInterface::MarkAsPortDialog(QWidget& dialog)
{
    dialog.setProperty(kPortDialogProperty, true);
}

bool QtUserInterface::IsPortDialog(const QWidget& window)
{
    return window.property(kPortDialogProperty).toBool();
}

QWidget* QtUserInterface::FrontWindow() const
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : m_mainWindow.data();
}

platform::Answer QtUserInterface::ShowMessage(const std::string& text, platform::MessageIcon icon,
                                              platform::MessageButtons buttons, const platform::MessageDetail& detail)
{
    const WaitCursorLift lift(m_waitDepth);
    const bool question = buttons == platform::MessageButtons::YesNo;
    QMessageBox box(QtIcon(icon), QString::fromLatin1(kApplicationTitle), MessageBoxText(text),
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, FrontWindow());
    box.setObjectName(QStringLiteral("messageBox"));
    // The engine's reason (or a run's files and warnings) below the system's own text;
    // both plain text, set after the detail so that its label takes the format too.
    box.setInformativeText(MessageBoxText(detail.text));
    box.setTextFormat(Qt::PlainText);
    // The only question replaces files: Enter keeps them.
    if (question) {
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    const QAbstractButton* openFolder = detail.folder.empty() ? nullptr : AddOpenFolderButton(box);
    ReserveMessageBoxWidth(box);
    MarkAsPortDialog(box);
    const int result = box.exec();
    if (openFolder && box.clickedButton() == openFolder)
        QDesktopServices::openUrl(QUrl::fromLocalFile(FromEngine(detail.folder)));
    if (!question)
        return platform::Answer::Ok;
    return result == QMessageBox::Yes ? platform::Answer::Yes : platform::Answer::No;
}

bool QtUserInterface::AcceptOverwrite(const std::string& path)
{
    if (!QFileInfo::exists(FromEngine(path)))
        return true;
    return AskReplace(platform::NamePart(path));
}

std::optional<std::string> QtUserInterface::RunFileDialog(const platform::FileDialogRequest& request)
{
    const WaitCursorLift lift(m_waitDepth);
    const bool save = request.kind == platform::FileDialogRequest::Kind::Save;
    CCheckedFileDialog dialog(FrontWindow(), [this, &request](const QString& chosen) {
        const std::string path = ToEngine(chosen);
        if (request.promptOverwrite && !AcceptOverwrite(path))
            return false;
        return !request.acceptCheck || request.acceptCheck(path);
    });
    MarkAsPortDialog(dialog);
    if (!request.title.empty())
        dialog.setWindowTitle(FromEngine(request.title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setNameFilters(QtNameFilters(request.filter));
    dialog.setDirectory(ExistingFolderOr(request.initialFolder, QDir::homePath()));
    if (!request.initialName.empty())
        dialog.selectFile(FromEngine(request.initialName));
    // The default suffix goes without its dot; Qt appends it to a name without one.
    dialog.setDefaultSuffix(FromEngine(request.defaultExtension).remove(0, 1));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ToEngine(dialog.ChosenPath());
}

std::optional<std::string> QtUserInterface::BrowseForFolder(const std::string& title, const std::string& startFolder)
{
    const WaitCursorLift lift(m_waitDepth);
    QFileDialog dialog(FrontWindow(), FromEngine(title));
    dialog.setObjectName(QStringLiteral("folderBrowser"));
    MarkAsPortDialog(dialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly |
                      QFileDialog::DontResolveSymlinks);
    dialog.setDirectory(ExistingFolderOr(startFolder, QDir::homePath()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FolderWithoutSeparator(dialog.selectedFiles().first());
}

void QtUserInterface::BeginWaitCursor()
{
    if (m_waitDepth++ == 0)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUserInterface::EndWaitCursor()
{
    if (m_waitDepth > 0 && --m_waitDepth == 0)
        QGuiApplication::restoreOverrideCursor();
}

std::unique_ptr<platform::ProgressWindow> QtUserInterface::CreateProgressWindow()
{
    return std::make_unique<CConvStatAnimDlg>(m_mainWindow.data());
}

}  // namespace gui
