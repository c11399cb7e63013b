#pragma once
// "&Archive Disk...": the open disk archived into a folder, as `wavelorn-cli archive`
// does it and through the same engine call, with the "Convert" window for the whole
// disk's progress, a question before an archive of other disk contents is moved
// aside, and the result in one dialog.

#include "platform/FileSystem.h"

#include <string>
#include <vector>

class COVFtoWAVEDoc;
class CUserData;
class QWidget;

namespace archive {
struct ArchiveOptions;
}

namespace platform {
class UserInterface;
}

class CDiskArchive {
public:
    // `owner` is the main window; `files` is where the disk is read and the archive written.
    CDiskArchive(const COVFtoWAVEDoc& doc, platform::UserInterface& ui, CUserData& settings, QWidget* owner,
                 platform::FileSystem& files = platform::RealFileSystem());

    // Asks for the folder and the format, archives, shows the result. Without an open
    // disk it only says so.
    void Run();

private:
    // The port's message when the folder cannot take the archive; true when it can.
    bool CheckOutdir(const std::string& outdir);
    // One run of the engine; the lines it reported go into `lines`.
    int RunEngine(const archive::ArchiveOptions& options, std::vector<std::string>& lines);
    // Whether the archive of other disk contents the refusal names may be moved aside.
    bool AskReplace(const std::vector<std::string>& refusal);
    void ShowResult(const std::vector<std::string>& lines, int status, const std::string& outdir);

    const COVFtoWAVEDoc& m_doc;
    platform::UserInterface& m_ui;
    CUserData& m_settings;
    QWidget* m_owner;
    platform::FileSystem& m_files;
};
