#pragma once
// Small makers of the controls the pages and dialogs share, each with its objectName.

#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

// A push button of a page: Enter presses it while it has the focus.
QPushButton* MakePageButton(const QString& text, const QString& name, QWidget* parent);

// A label that shows a value (empty at first).
QLabel* MakeValueLabel(const QString& name, QWidget* parent);

// A caption label; with a buddy its mnemonic moves the focus there.
QLabel* MakeCaption(const QString& text, const QString& name, QWidget* parent, QWidget* buddy = nullptr);

QGroupBox* MakeGroup(const QString& title, const QString& name, QWidget* parent);
