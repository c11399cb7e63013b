#include "gui/FocusWheelComboBox.h"

#include <QWheelEvent>

CFocusWheelComboBox::CFocusWheelComboBox(QWidget* parent) : QComboBox(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void CFocusWheelComboBox::wheelEvent(QWheelEvent* event)
{
    if (hasFocus())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}
