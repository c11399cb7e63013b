#include "cli/ProgressBar.h"

#include "cli/Output.h"
#include "platform/Interruption.h"
#include "platform/Messages.h"
#include "platform/Terminal.h"

#include <algorithm>
#include <string>

namespace cli {

namespace {

constexpr int kBarWidth = 40;
// With a detail beside it: the bar, the percentage and the detail fit 80 columns.
constexpr int kNarrowBarWidth = 20;
constexpr std::size_t kDetailWidth = 48;
constexpr const char* kDetailGap = "  ";
// A detail that changes without the percentage is drawn at most this often.
constexpr std::chrono::milliseconds kDetailInterval{200};
constexpr int kFullPercent = 100;

// "[" + bar + "] " + "100%".
constexpr std::size_t BarTextWidth(int barWidth)
{
    return static_cast<std::size_t>(barWidth) + std::char_traits<char>::length("[] 100%");
}

}  // namespace

// --quiet leaves the bar out: only errors reach the terminal.
ProgressBar::ProgressBar(std::FILE* stream) : m_stream(stream), m_enabled(!Quiet() && platform::IsTerminal(stream)) {}

ProgressBar::~ProgressBar()
{
    if (m_drawn) {
        std::fputc('\n', m_stream);
        std::fflush(m_stream);
    }
}

void ProgressBar::SetText(const std::string& text)
{
    PrintStep(WithLineBreaks(text));
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

void ProgressBar::SetDetail(const std::string& detail)
{
    const auto now = std::chrono::steady_clock::now();
    if (detail == m_detail || now - m_lastDetailDraw < kDetailInterval)
        return;
    m_detail = detail.substr(0, kDetailWidth);
    m_lastDetailDraw = now;
    m_lastPercent = -1;
    Draw();
}

std::string ProgressBar::Render(std::uint64_t done, std::uint64_t total, const std::string& detail)
{
    const std::uint64_t shown = std::min(done, total);
    const int percent = total == 0 ? kFullPercent : static_cast<int>(shown * kFullPercent / total);
    const int width = detail.empty() ? kBarWidth : kNarrowBarWidth;
    const int filled = percent * width / kFullPercent;
    char text[kBarWidth + 16];
    std::snprintf(text, sizeof text, "[%s%*s] %3d%%", std::string(filled, '#').c_str(), width - filled, "", percent);
    if (detail.empty())
        return text;
    // Padded, so that a shorter detail covers a longer one drawn before it.
    std::string line = std::string(text) + kDetailGap + detail;
    line.resize(LineWidth(), ' ');
    return line;
}

std::size_t ProgressBar::LineWidth()
{
    return std::max(BarTextWidth(kBarWidth),
                    BarTextWidth(kNarrowBarWidth) + std::char_traits<char>::length(kDetailGap) + kDetailWidth);
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
    std::fprintf(m_stream, "\r%s", Render(done, m_total, m_detail).c_str());
    std::fflush(m_stream);
}

bool ProgressBar::StopRequested() const
{
    return platform::StopRequestArrived();
}

}  // namespace cli
