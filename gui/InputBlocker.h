#pragma once
// While a run holds the program, the user's mouse, key and wheel input to every
// window except the port's dialogs and message boxes is dropped (never delivered
// later), and close requests of those windows are ignored. A widget let through
// (the progress window's Cancel button) still takes its input.

#include <QObject>
#include <QPointer>
#include <QWidget>

class CInputBlocker : public QObject {
    Q_OBJECT

public:
    // Starts dropping input for the whole application.
    CInputBlocker();
    // Drops the input still pending, then lets input through again.
    ~CInputBlocker() override;
    CInputBlocker(const CInputBlocker&) = delete;
    CInputBlocker& operator=(const CInputBlocker&) = delete;

    // Lets the input to `widget` through for as long as both live.
    void LetThrough(QWidget* widget);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_letThrough;
};
