#pragma once
// The running window's side of a second start: what a later start of the program
// sends (through platform::InstanceChannel) brings this window forward, and a disk
// folder in it opens that disk here, as "Select Drive..." would. While a run, a
// dialog or a message box is open, the folder waits until it closes.

#include "platform/InstanceChannel.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <string>

class CMainFrame;

namespace gui {

class InstanceHandOver : public QObject {
    Q_OBJECT

public:
    // Polls `listener` while the object lives (null: nothing arrives); `busy` says
    // whether a run holds the program.
    InstanceHandOver(CMainFrame& frame, std::function<bool()> busy,
                     std::unique_ptr<platform::InstanceListener> listener);

private:
    void Poll();
    void BringForward();

    CMainFrame& m_frame;
    std::function<bool()> m_busy;
    std::unique_ptr<platform::InstanceListener> m_listener;
    std::deque<std::string> m_folders;  // to open once the window is free
    QTimer m_timer;
};

}  // namespace gui
