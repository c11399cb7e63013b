#pragma once
// The end of an archive from the window: what it archived, everything it left out
// with the reason, the bytes of the disk it could not read, the tracks that are
// silent for them and the other notes of the run, and a button that opens the
// archive folder in the file manager.

#include <QDialog>

#include <string>
#include <vector>

// An archive's lines sorted for the result.
struct ArchiveResult {
    // The summary ("archived N projects: ..."), the stop on request, or why it stopped.
    std::string heading;
    // The "left out:" lines, the "unreadable:" lines, the silence warnings, then the rest.
    std::vector<std::string> details;
    // Bytes of the disk could not be read: a run into the same folder reads only those.
    bool unreadable = false;
};

// `lines` are what the archive reported, in order; `stopped`: it stopped on request.
ArchiveResult SortArchiveLines(const std::vector<std::string>& lines, bool stopped);

class CArchiveResultDlg : public QDialog {
    Q_OBJECT

public:
    // "Open Folder" opens `outdir`; an empty one (a folder the run could not make) shows no such button.
    CArchiveResultDlg(const ArchiveResult& result, const std::string& outdir, QWidget* parent);

private:
    void OnOpenFolder();

    std::string m_outdir;
};
