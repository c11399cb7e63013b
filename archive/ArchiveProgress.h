#pragma once
// The one progress bar of an archive: the bytes of the whole disk's work (raw copies,
// output files, their checks) as items that are done in turn.

#include "platform/UserInterface.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace archive {

class ArchiveProgress {
public:
    // Takes the window (null: nothing is shown).
    explicit ArchiveProgress(std::unique_ptr<platform::ProgressWindow> window);

    // The bytes of all work, known once the disk has been surveyed.
    void SetTotal(std::uint64_t total);
    // An item of `bytes` begins; what is reported until the next begins counts in it.
    void BeginItem(std::uint64_t bytes);
    // `done` bytes of the current item are done.
    void ItemDone(std::uint64_t done);
    // ItemDone as a callback for reads and copies that report the bytes they have done.
    std::function<void(std::uint64_t done)> ItemCallback();
    // The current item counts in full (also when it was kept, skipped or failed).
    void EndItem();

    // A window for a run of the engine that reports frames: each frame done counts
    // `bytesPerFrame` bytes of the current item.
    std::unique_ptr<platform::ProgressWindow> FrameWindow(std::uint64_t bytesPerFrame);

    // What the reads of the disk cost so far, beside the bar: bytes read, bytes that
    // stayed unreadable, reads that failed; shown once a read failed, a clean disk
    // shows the bar alone.
    void ShowReads(std::uint64_t read, std::uint64_t unreadable, std::uint64_t failedReads);

    // True once the window was asked to stop the run.
    bool StopRequested() const;

private:
    std::unique_ptr<platform::ProgressWindow> m_window;
    std::uint64_t m_itemStart = 0;
    std::uint64_t m_itemBytes = 0;
};

}  // namespace archive
