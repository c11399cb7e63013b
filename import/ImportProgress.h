#pragma once
// The progress of an import in source bytes: every used source's sample data as its
// header states it, once for the scan and once for the conversion. A reader reports
// the bytes of its own sample data done; they land after all the sources before it,
// and a pass that ends early still counts its source's whole share.

#include "recorder/Records.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace platform {
class ProgressWindow;
}

// The sample data bytes of each track slot's source, index 0 = Track 1; 0 for an unused slot.
using SourceShares = std::array<std::uint64_t, kTrackCount>;

class CImportProgress {
public:
    // Reports to `window` (none: reports nothing) and sets its total: twice the sum of `shares`.
    CImportProgress(platform::ProgressWindow* window, const SourceShares& shares);

    void StepAnimation();
    // True once the window was asked to stop the run.
    bool StopRequested() const;
    // Runs one pass over source `index` with the window its reader reports to (none
    // without a window); afterwards the source's share counts as done.
    void Pass(std::size_t index, const std::function<void(platform::ProgressWindow*)>& pass);

private:
    platform::ProgressWindow* m_window;
    SourceShares m_shares;
    std::uint64_t m_done = 0;
};
