#include "gui/WidgetFactory.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include <algorithm>

namespace {

constexpr int kValueMinimumWidth = 110;
// Room for a title bar's icon and its three buttons beside the caption.
constexpr int kTitleBarButtonsWidth = 160;
// The narrowest box with a reason below its text: a line of about sixty characters.
constexpr int kDetailedBoxMinimumWidth = 400;

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

void ReserveMessageBoxWidth(QMessageBox& box)
{
    const int caption = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarButtonsWidth;
    const int width = std::max(caption, box.informativeText().isEmpty() ? 0 : kDetailedBoxMinimumWidth);
    // The box sizes itself to its layout's minimum: a spacer across it sets the floor.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
}
