#include "gui/SoundFileEdit.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include <utility>

namespace {

// The dropped files of this computer, as native paths; empty when anything else is among them.
QStringList DroppedFiles(const QMimeData* data)
{
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile())
            return {};
        paths << QDir::toNativeSeparators(url.toLocalFile());
    }
    return paths;
}

}  // namespace

CSoundFileEdit::CSoundFileEdit(QWidget* parent, std::function<bool(const QString& name)> check)
    : QLineEdit(parent), m_check(std::move(check))
{
}

void CSoundFileEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else if (event->mimeData()->hasUrls())
        event->ignore();  // a folder: the window opens it as a disk
    else
        QLineEdit::dragEnterEvent(event);
}

void CSoundFileEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        QLineEdit::dragMoveEvent(event);
}

void CSoundFileEdit::dropEvent(QDropEvent* event)
{
    const QStringList paths = DroppedFiles(event->mimeData());
    if (paths.isEmpty()) {
        QLineEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}

void CSoundFileEdit::FocusForCorrection()
{
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

void CSoundFileEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (text().isEmpty())
        return;
    if (m_check(text()))
        focusNextPrevChild(!event->modifiers().testFlag(Qt::ShiftModifier));
    else
        FocusForCorrection();
}
