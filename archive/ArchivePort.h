#pragma once
// The user-interface port of the engine's runs inside an archive (an export of one
// track, the WAVE reader of --verify): the archive names the export's path itself, so
// no dialog runs; every question is answered with Yes, and frames done go to the
// archive's one bar. Messages are not shown: the archive reports each run's result itself.

#include "archive/ArchiveProgress.h"
#include "platform/UserInterface.h"

#include <cstdint>
#include <optional>
#include <string>

namespace archive {

class ArchivePort : public platform::UserInterface {
public:
    // Frames a run reports count `bytesPerFrame` bytes of the current item of `progress`.
    ArchivePort(ArchiveProgress& progress, std::uint64_t bytesPerFrame);

    platform::Answer ShowMessage(const std::string& text, platform::MessageIcon icon,
                                 platform::MessageButtons buttons, const platform::MessageDetail& detail) override;
    std::optional<std::string> RunFileDialog(const platform::FileDialogRequest& request) override;
    std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& startFolder) override;
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override;

private:
    ArchiveProgress& m_progress;
    std::uint64_t m_bytesPerFrame;
};

}  // namespace archive
