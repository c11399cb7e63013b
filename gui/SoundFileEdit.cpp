#include "gui/SoundFileEdit.h"

#include <QKeyEvent>

#include <utility>

CSoundFileEdit::CSoundFileEdit(QWidget* parent, std::function<bool(const QString& name)> check)
    : QLineEdit(parent), m_check(std::move(check))
{
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
