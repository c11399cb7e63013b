#pragma once
// Small makers of the controls the pages and dialogs share, each with its objectName.

#include <QString>

class QGroupBox;
class QLabel;
class QMessageBox;
class QPushButton;
class QWidget;

// A push button of a page: Enter presses it while it has the focus.
QPushButton* MakePageButton(const QString& text, const QString& name, QWidget* parent);

// A label that shows a value (empty at first).
QLabel* MakeValueLabel(const QString& name, QWidget* parent);

// A caption label; with a buddy its mnemonic moves the focus there.
QLabel* MakeCaption(const QString& text, const QString& name, QWidget* parent, QWidget* buddy = nullptr);

QGroupBox* MakeGroup(const QString& title, const QString& name, QWidget* parent);

// Keeps a message box at least as wide as its caption with the title bar's buttons beside
// it (a short text with OK alone would cut the caption), and lets a reason below the
// text wrap at a readable width.
void ReserveMessageBoxWidth(QMessageBox& box);
