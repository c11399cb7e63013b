#pragma once
// The progress window of the command-line tool: a bar with a percentage on a
// terminal, fed by the run's total and done counts; nothing when the stream is not
// a terminal or the total is unknown.

#include "platform/UserInterface.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace cli {

class ProgressBar : public platform::ProgressWindow {
public:
    explicit ProgressBar(std::FILE* stream);
    ~ProgressBar() override;

    void SetText(const std::string& text) override;
    void Show() override;
    void StepAnimation() override {}
    void SetTotal(std::uint64_t total) override;
    void SetDone(std::uint64_t done) override;
    void SetDetail(const std::string& detail) override;
    // True once a signal asked the process to stop.
    bool StopRequested() const override;

    // The bar for a share of the work, e.g. "[#####     ]  50%", followed by the
    // detail when there is one (then with a shorter bar, so that the line fits 80 columns).
    static std::string Render(std::uint64_t done, std::uint64_t total, const std::string& detail = {});
    // The widest line Render draws: what a line printed over the bar must cover.
    static std::size_t LineWidth();

private:
    void Draw();

    std::FILE* m_stream;
    bool m_enabled;
    std::uint64_t m_total = 0;
    std::uint64_t m_done = 0;
    int m_lastPercent = -1;
    std::string m_detail;
    std::chrono::steady_clock::time_point m_lastDetailDraw{};
    bool m_drawn = false;
};

}  // namespace cli
