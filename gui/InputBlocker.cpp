#include "gui/InputBlocker.h"

#include "gui/QtUserInterface.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

}  // namespace

CInputBlocker::CInputBlocker()
{
    QCoreApplication::instance()->installEventFilter(this);
}

CInputBlocker::~CInputBlocker()
{
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(this);
}

void CInputBlocker::LetThrough(QWidget* widget)
{
    m_letThrough = widget;
}

bool CInputBlocker::eventFilter(QObject* watched, QEvent* event)
{
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !IsUserInput(event->type()) || gui::QtUserInterface::IsPortDialog(*widget->window()) ||
        (widget == m_letThrough && event->type() != QEvent::Close))
        return false;
    // An ignored close request keeps the window open; an accepted shortcut override
    // keeps a shortcut from firing, and the key itself is dropped next.
    if (event->type() == QEvent::Close)
        event->ignore();
    else
        event->accept();
    return true;
}
