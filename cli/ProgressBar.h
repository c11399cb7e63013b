#pragma once
// The progress window of the command-line tool: a bar with a percentage on a
// terminal, fed by the run's total and done counts; nothing when the stream is not
// a terminal or the total is unknown.

#include "platform/UserInterface.h"

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
    // True once a signal asked the process to stop.
    bool StopRequested() const override;

    // The bar for a share of the work, e.g. "[#####     ]  50%".
    static std::string Render(std::uint64_t done, std::uint64_t total);

private:
    void Draw();

    std::FILE* m_stream;
    bool m_enabled;
    std::uint64_t m_total = 0;
    std::uint64_t m_done = 0;
    int m_lastPercent = -1;
    bool m_drawn = false;
};

}  // namespace cli
