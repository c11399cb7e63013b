#include "archive/ArchiveProgress.h"

#include <algorithm>
#include <string>

namespace archive {

namespace {

// Forwards an engine run's frames to the archive's bar; shows nothing of its own.
class FrameWindow : public platform::ProgressWindow {
public:
    FrameWindow(ArchiveProgress& progress, std::uint64_t bytesPerFrame)
        : m_progress(progress), m_bytesPerFrame(bytesPerFrame)
    {
    }

    void SetText(const std::string&) override {}
    void Show() override {}
    void StepAnimation() override {}
    void SetDone(std::uint64_t frames) override { m_progress.ItemDone(frames * m_bytesPerFrame); }
    bool StopRequested() const override { return m_progress.StopRequested(); }

private:
    ArchiveProgress& m_progress;
    std::uint64_t m_bytesPerFrame;
};

constexpr std::uint64_t kKibibyte = 1024;
constexpr std::uint64_t kMebibyte = kKibibyte * kKibibyte;
constexpr std::uint64_t kTenths = 10;

// "512 B", "8.0 KiB", "123.4 MiB".
std::string ByteCountText(std::uint64_t bytes)
{
    const auto tenths = [](std::uint64_t value, std::uint64_t unit) {
        const std::uint64_t scaled = value * kTenths / unit;
        return std::to_string(scaled / kTenths) + "." + std::to_string(scaled % kTenths);
    };
    if (bytes < kKibibyte)
        return std::to_string(bytes) + " B";
    if (bytes < kMebibyte)
        return tenths(bytes, kKibibyte) + " KiB";
    return tenths(bytes, kMebibyte) + " MiB";
}

}  // namespace

ArchiveProgress::ArchiveProgress(std::unique_ptr<platform::ProgressWindow> window) : m_window(std::move(window))
{
    if (m_window)
        m_window->Show();
}

void ArchiveProgress::SetTotal(std::uint64_t total)
{
    if (m_window)
        m_window->SetTotal(total);
}

void ArchiveProgress::BeginItem(std::uint64_t bytes)
{
    m_itemBytes = bytes;
}

void ArchiveProgress::ItemDone(std::uint64_t done)
{
    if (m_window)
        m_window->SetDone(m_itemStart + std::min(done, m_itemBytes));
}

std::function<void(std::uint64_t done)> ArchiveProgress::ItemCallback()
{
    return [this](std::uint64_t done) { ItemDone(done); };
}

void ArchiveProgress::EndItem()
{
    m_itemStart += m_itemBytes;
    m_itemBytes = 0;
    if (m_window)
        m_window->SetDone(m_itemStart);
}

std::unique_ptr<platform::ProgressWindow> ArchiveProgress::FrameWindow(std::uint64_t bytesPerFrame)
{
    return std::make_unique<archive::FrameWindow>(*this, bytesPerFrame);
}

void ArchiveProgress::ShowReads(std::uint64_t read, std::uint64_t unreadable, std::uint64_t failedReads)
{
    if (m_window && (unreadable > 0 || failedReads > 0))
        m_window->SetDetail("read " + ByteCountText(read) + ", unreadable " + ByteCountText(unreadable) + ", " +
                            std::to_string(failedReads) + " failed reads");
}

bool ArchiveProgress::StopRequested() const
{
    return m_window && m_window->StopRequested();
}

}  // namespace archive
