#include "gui/WidgetFactory.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kValueMinimumWidth = 110;

}  // namespace

QPushButton* MakePageButton(const QString& text, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(true);
    return button;
}

QLabel* MakeValueLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(kValueMinimumWidth);
    return label;
}

QLabel* MakeCaption(const QString& text, const QString& name, QWidget* parent, QWidget* buddy)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

QGroupBox* MakeGroup(const QString& title, const QString& name, QWidget* parent)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    return group;
}
