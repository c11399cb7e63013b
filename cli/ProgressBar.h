#pragma once
// The progress window of the command-line tool: a bar with a percentage on a
// terminal, nothing when the stream is not a terminal or the total is unknown.

#include "platform/UserInterface.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace cli {

class ProgressBar : public platform::ProgressWindow {
public:
    ProgressBar(std::FILE* stream, std::uint64_t expectedSteps);
    ~ProgressBar() override;

    void SetText(const std::string& text) override;
    void Show() override;
    void StepAnimation() override;

    // The bar for a share of the work, e.g. "[#####     ]  50%".
    static std::string Render(std::uint64_t done, std::uint64_t total);

private:
    void Draw();

    std::FILE* m_stream;
    bool m_enabled;
    std::uint64_t m_total;
    std::uint64_t m_done = 0;
    int m_lastPercent = -1;
    bool m_drawn = false;
};

}  // namespace cli
