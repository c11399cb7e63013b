#include "gui/InstanceHandOver.h"

#include "gui/MainFrame.h"

#include <QApplication>

namespace gui {

namespace {

constexpr int kPollMilliseconds = 200;

}  // namespace

InstanceHandOver::InstanceHandOver(CMainFrame& frame, std::function<bool()> busy,
                                   std::unique_ptr<platform::InstanceListener> listener)
    : m_frame(frame), m_busy(std::move(busy)), m_listener(std::move(listener))
{
    if (!m_listener)
        return;
    connect(&m_timer, &QTimer::timeout, this, &InstanceHandOver::Poll);
    m_timer.start(kPollMilliseconds);
}

void InstanceHandOver::Poll()
{
    for (auto& message : m_listener->Take()) {
        BringForward();
        if (!message.empty())
            m_folders.push_back(std::move(message));
    }
    while (!m_folders.empty() && !m_busy() && !QApplication::activeModalWidget()) {
        m_frame.View().OpenDisk(m_folders.front());
        m_folders.pop_front();
    }
}

void InstanceHandOver::BringForward()
{
    m_frame.showNormal();
    m_frame.raise();
    m_frame.activateWindow();
    // Where the system keeps another program in front, the task bar asks for attention.
    if (!m_frame.isActiveWindow())
        QApplication::alert(&m_frame);
}

}  // namespace gui
