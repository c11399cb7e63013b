#pragma once
// One export as the MO->File page's Convert runs it, in its steps: the check (the
// project still on the disk, the tracks open with "Track check...", the type, the
// project's codes and every file within its header's limit) before any name is
// asked; then the front end's choice of the output path (the save dialog, or a path
// given beforehand); then the write; then the outcome ("Convert succeeded." with the
// files written, or "Convert failed." with the reason; either with the warnings). The GUI page, the command-line tool and the archive use it.

#include "app/ExportSelection.h"
#include "export/ChannelType.h"
#include "platform/FileSystem.h"
#include "platform/UserInterface.h"
#include "recorder/Errors.h"
#include "recorder/Records.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CTrack;
class CUserData;

struct ExportResult {
    bool succeeded = false;
    // Why the run failed; nothing when it succeeded.
    std::optional<Refusal> refusal;
    // The files the run completed, in the order written; after a failure part-way,
    // those completed before it.
    std::vector<ExportedFile> files;
    // What the run noticed and went on despite: HFS.BIN missing (once, naming the disk
    // folder), a track with more than an hour of silence before or between its
    // recordings, a track that ended early (naming the track).
    std::vector<Warning> warnings;
    // The existing file the user kept, answering No when asked whether it may be replaced.
    std::optional<std::string> keptFile;
    // The user cancelled the save dialog: the run ends without a message.
    bool cancelled = false;

    explicit operator bool() const { return succeeded; }
};

class CExportRun {
public:
    // The wait cursor shows from here until Finish.
    CExportRun(platform::UserInterface& ui, CUserData& settings, const ExportSelection& selection,
               platform::FileSystem& files = platform::RealFileSystem());
    ~CExportRun();
    CExportRun(const CExportRun&) = delete;
    CExportRun& operator=(const CExportRun&) = delete;

    // The checks before any name is asked. Nothing when the run may go on.
    std::optional<Refusal> Check();
    // The default extension of the chosen type, with its dot; valid after a passed Check.
    std::string DefaultExtension() const;
    // The save dialog of the checked run; nothing when the user cancelled.
    std::optional<std::string> AskForPath();
    // For a path chosen without the dialog: the questions the dialog would ask about
    // the existing files it would replace. False, and the run refused naming the kept
    // file, at the first No.
    bool ConfirmReplacing(const std::string& path);
    // Writes the checked run's files for the chosen `path` (Mono: the base of each
    // track's name).
    void Write(const std::string& path);
    // Closes the tracks, ends the wait cursor and shows the outcome.
    ExportResult Finish();

private:
    // Opens the tracks under "Track check..." and lets the mode check the run.
    std::optional<Refusal> CheckTracks();
    std::vector<Warning> Warnings() const;
    // "Convert succeeded." with the files written and the warnings, offering their folder.
    void ShowSuccess();
    void CloseTracks();

    platform::UserInterface& m_ui;
    CUserData& m_settings;
    ExportSelection m_selection;
    platform::FileSystem& m_files;
    std::unique_ptr<platform::WaitCursor> m_wait;
    std::vector<std::unique_ptr<CTrack>> m_tracks;
    std::vector<CTrack*> m_opened;
    std::unique_ptr<CChannelType> m_mode;
    ExportResult m_result;
};

// Runs the export over the disk and output files in `files` as the page does: the
// check, the save dialog, the write, and shows its outcome.
ExportResult RunExport(platform::UserInterface& ui, CUserData& settings, const ExportSelection& selection,
                       platform::FileSystem& files = platform::RealFileSystem());
