#pragma once
// The desktop program's main window on a recorder disk made by the disk writer, with
// the scripted port answering its dialogs and recording its messages. Tests drive
// the real widgets by their object names.

#include "app/Document.h"
#include "app/RegUserData.h"
#include "gui/MainFrame.h"
#include "tests/support/ScriptedUserInterface.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace guitest {

// A folder holding a written disk: `Path()` is the MO folder.
class DiskFolder {
public:
    explicit DiskFolder(const diskwriter::Disk& disk);
    const std::string& Path() const { return m_folder.Path(); }
    std::string File(const std::string& name) const { return m_folder.File(name); }

private:
    testsupport::TempFolder m_folder;
};

class GuiRig {
public:
    // The main window on `moFolder` (empty: no disk chosen).
    explicit GuiRig(const std::string& moFolder);

    template <class Widget>
    Widget* Get(const char* name) const
    {
        auto* widget = frame->findChild<Widget*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    void Click(const char* name) const;
    // Makes the main window the active one, as shortcuts and mnemonics need.
    void Activate() const;
    // Runs "Select &Project..." and picks list row `row` in the dialog.
    void ChooseProject(int row);

    COVFtoWAVEDoc doc;
    CNoUserData settings;
    testsupport::ScriptedUserInterface ui;
    std::unique_ptr<CMainFrame> frame;
};

// Runs `action` on the next modal dialog once it is open (from inside its exec()),
// looking for it every `pollMs`.
void OnNextModal(std::function<void(QDialog& dialog)> action, int pollMs = 10);

// A project of 16 bit at 44.1 kHz, number 1, named "Song", with a segment of
// `samples` on each given (track, virtual track).
struct TrackSamples {
    int track;
    int virtualTrack;
    std::vector<std::int32_t> samples;
};
diskwriter::Disk DiskWith(const std::vector<TrackSamples>& tracks, const char* name = "Song");

// Count samples that are never zero, so every recorder block holds sound.
std::vector<std::int32_t> Signal(std::size_t count, std::int32_t seed);

// A mono 16-bit PCM WAVE file of `samples` at `rate`.
std::vector<std::uint8_t> WaveBytes(const std::vector<std::int32_t>& samples, std::uint32_t rate);

// The sample data of a WAVE ("data") or AIFF ("SSND", after its offset and block
// size) file; empty when the chunk is missing.
std::vector<std::uint8_t> SoundData(const std::vector<std::uint8_t>& file);

// The texts of the messages the scripted port showed.
QStringList Messages(const testsupport::ScriptedUserInterface& ui);
// What each of them said beside its text, with line breaks as a window shows them.
QStringList Details(const testsupport::ScriptedUserInterface& ui);

}  // namespace guitest
