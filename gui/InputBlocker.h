#pragma once
// While a run holds the program, the user's mouse, key and wheel input to every
// window except the port's dialogs and message boxes is dropped (never delivered
// later), and close requests of those windows are ignored.

#include <QObject>

class CInputBlocker : public QObject {
    Q_OBJECT

public:
    // Starts dropping input for the whole application.
    CInputBlocker();
    // Drops the input still pending, then lets input through again.
    ~CInputBlocker() override;
    CInputBlocker(const CInputBlocker&) = delete;
    CInputBlocker& operator=(const CInputBlocker&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override;
};
