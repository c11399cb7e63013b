#include "cli/ProgressBar.h"

#include "platform/Interruption.h"
#include "platform/Terminal.h"

#include <algorithm>

namespace cli {

namespace {

constexpr int kBarWidth = 40;
constexpr int kFullPercent = 100;

}  // namespace

ProgressBar::ProgressBar(std::FILE* stream) : m_stream(stream), m_enabled(platform::IsTerminal(stream)) {}

ProgressBar::~ProgressBar()
{
    if (m_drawn) {
        std::fputc('\n', m_stream);
        std::fflush(m_stream);
    }
}

void ProgressBar::SetText(const std::string&)
{
    // A window with a status line of its own ("Track check...") covers a short
    // check, not the long work a bar is for.
    m_enabled = false;
}

void ProgressBar::Show()
{
    Draw();
}

void ProgressBar::SetTotal(std::uint64_t total)
{
    m_total = total;
    Draw();
}

void ProgressBar::SetDone(std::uint64_t done)
{
    m_done = done;
    Draw();
}

std::string ProgressBar::Render(std::uint64_t done, std::uint64_t total)
{
    const std::uint64_t shown = std::min(done, total);
    const int percent = total == 0 ? kFullPercent : static_cast<int>(shown * kFullPercent / total);
    const int filled = percent * kBarWidth / kFullPercent;
    char text[kBarWidth + 16];
    std::snprintf(text, sizeof text, "[%s%*s] %3d%%", std::string(filled, '#').c_str(), kBarWidth - filled, "",
                  percent);
    return text;
}

void ProgressBar::Draw()
{
    if (!m_enabled || m_total == 0)
        return;
    const std::uint64_t done = std::min(m_done, m_total);
    const int percent = static_cast<int>(done * kFullPercent / m_total);
    if (percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    m_drawn = true;
    std::fprintf(m_stream, "\r%s", Render(done, m_total).c_str());
    std::fflush(m_stream);
}

bool ProgressBar::StopRequested() const
{
    return platform::StopRequestArrived();
}

}  // namespace cli
