#include "import/ImportProgress.h"

#include "platform/UserInterface.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace {

// Both passes read every source.
constexpr std::uint64_t kPasses = 2;

// The window one source's pass reports to: its total is the source's share, and
// what it reports done lands after `start` in the run's window.
class SourceWindow : public platform::ProgressWindow {
public:
    SourceWindow(platform::ProgressWindow& run, std::uint64_t start, std::uint64_t share)
        : m_run(run), m_start(start), m_share(share)
    {
    }

    void SetText(const std::string& text) override { m_run.SetText(text); }
    void Show() override { m_run.Show(); }
    void StepAnimation() override { m_run.StepAnimation(); }
    void SetDone(std::uint64_t done) override { m_run.SetDone(m_start + std::min(done, m_share)); }
    bool StopRequested() const override { return m_run.StopRequested(); }

private:
    platform::ProgressWindow& m_run;
    const std::uint64_t m_start;
    const std::uint64_t m_share;
};

}  // namespace

CImportProgress::CImportProgress(platform::ProgressWindow* window, const SourceShares& shares)
    : m_window(window), m_shares(shares)
{
    if (m_window)
        m_window->SetTotal(kPasses * std::accumulate(m_shares.begin(), m_shares.end(), std::uint64_t{0}));
}

void CImportProgress::StepAnimation()
{
    if (m_window)
        m_window->StepAnimation();
}

bool CImportProgress::StopRequested() const
{
    return m_window && m_window->StopRequested();
}

void CImportProgress::Pass(std::size_t index, const std::function<void(platform::ProgressWindow*)>& pass)
{
    const std::uint64_t share = m_shares[index];
    if (m_window) {
        SourceWindow source(*m_window, m_done, share);
        pass(&source);
    } else {
        pass(nullptr);
    }
    m_done += share;
    if (m_window)
        m_window->SetDone(m_done);
}
