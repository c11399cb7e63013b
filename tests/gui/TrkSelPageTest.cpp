// The MO->File page, the project dialog and the main window's commands, driven
// through the real widgets with the scripted port answering.

#include "tests/gui/GuiRig.h"

#include "platform/Messages.h"
#include "recorder/TrackFile.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include <cstring>
#include <filesystem>

using guitest::DiskFolder;
using guitest::GuiRig;
using testsupport::UiEvent;

namespace {

constexpr std::size_t kSegmentSamples = 4 * kSamplesPerGroup * 1024;

QString BoxName(int track)
{
    return QStringLiteral("trackBox%1").arg(track);
}

// The enabled state of the eight track boxes as a string of 1 and 0.
QString EnabledBoxes(const GuiRig& rig)
{
    QString states;
    for (int track = 1; track <= static_cast<int>(kTrackCount); ++track)
        states += rig.frame->findChild<QCheckBox*>(BoxName(track))->isEnabled() ? '1' : '0';
    return states;
}

QString EnabledLists(const GuiRig& rig)
{
    QString states;
    for (int track = 1; track <= static_cast<int>(kTrackCount); ++track)
        states += rig.frame->findChild<QComboBox*>(QStringLiteral("virtualTrackList%1").arg(track))->isEnabled() ? '1'
                                                                                                                : '0';
    return states;
}

QString LabelText(const GuiRig& rig, const char* name)
{
    return rig.Get<QLabel>(name)->text();
}

// Little-endian 16-bit bytes of the samples.
std::vector<std::uint8_t> Le16(const std::vector<std::int32_t>& samples)
{
    std::vector<std::uint8_t> bytes;
    for (const auto sample : samples) {
        bytes.push_back(static_cast<std::uint8_t>(sample));
        bytes.push_back(static_cast<std::uint8_t>(sample >> 8));
    }
    return bytes;
}

std::vector<std::uint8_t> Interleaved(const std::vector<std::int32_t>& left, const std::vector<std::int32_t>& right)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < left.size(); ++i) {
        for (const auto sample : {left[i], right[i]}) {
            bytes.push_back(static_cast<std::uint8_t>(sample >> 8));
            bytes.push_back(static_cast<std::uint8_t>(sample));
        }
    }
    return bytes;
}

// The file begins with `expected` and holds only zeros (silence) after it.
bool StartsWithThenSilence(const std::vector<std::uint8_t>& data, const std::vector<std::uint8_t>& expected)
{
    if (data.size() < expected.size() || !std::equal(expected.begin(), expected.end(), data.begin()))
        return false;
    return std::all_of(data.begin() + static_cast<std::ptrdiff_t>(expected.size()), data.end(),
                       [](std::uint8_t byte) { return byte == 0; });
}

}  // namespace

class TrkSelPageTest : public QObject {
    Q_OBJECT

private:
    const std::vector<std::int32_t> m_track1 = guitest::Signal(kSegmentSamples, 11);
    const std::vector<std::int32_t> m_track3v2 = guitest::Signal(kSegmentSamples, 333);
    std::unique_ptr<DiskFolder> m_disk;

    std::unique_ptr<GuiRig> RigWithProject()
    {
        auto rig = std::make_unique<GuiRig>(m_disk->Path());
        rig->ChooseProject(0);
        return rig;
    }

    // Ticks track 1 and track 3 on its second virtual track, in mono or stereo.
    static void ChooseTrack1AndTrack3OfVTr2(const GuiRig& rig, bool stereo)
    {
        rig.Click(stereo ? "stereoButton" : "monoButton");
        rig.Click("trackBox1");
        rig.Click("trackBox3");
        rig.Get<QComboBox>("virtualTrackList3")->setCurrentIndex(1);
    }

private slots:
    void init()
    {
        m_disk = std::make_unique<DiskFolder>(guitest::DiskWith({{1, 1, m_track1}, {3, 2, m_track3v2}}));
    }

    void withoutProjectEverythingButTheCommandsIsDisabled()
    {
        GuiRig rig(m_disk->Path());
        QVERIFY(!rig.Get<QRadioButton>("monoButton")->isEnabled());
        QVERIFY(!rig.Get<QRadioButton>("stereoButton")->isEnabled());
        QCOMPARE(EnabledBoxes(rig), QStringLiteral("00000000"));
        QCOMPARE(EnabledLists(rig), QStringLiteral("00000000"));
        QVERIFY(!rig.Get<QComboBox>("fileTypeList")->isEnabled());
        QVERIFY(!rig.Get<QPushButton>("convertButton")->isEnabled());
        QVERIFY(rig.Get<QPushButton>("selectProjectButton")->isEnabled());
        for (const char* value : {"projectNameValue", "samplingRateValue", "bitsValue", "selectTracksValue"})
            QVERIFY(LabelText(rig, value).isEmpty());
    }

    void choosingAProjectFillsThePage()
    {
        const auto rig = RigWithProject();
        QVERIFY(rig->doc.m_bProjectChosen);
        QVERIFY(rig->Get<QRadioButton>("monoButton")->isChecked());
        QCOMPARE(LabelText(*rig, "projectNameValue"), QStringLiteral("Song"));
        QCOMPARE(LabelText(*rig, "samplingRateValue"), QStringLiteral("44.1KHz"));
        QCOMPARE(LabelText(*rig, "bitsValue"), QStringLiteral("16bit"));
        QCOMPARE(LabelText(*rig, "selectTracksValue"), QStringLiteral("0"));
        QCOMPARE(rig->Get<QComboBox>("fileTypeList")->count(), 3);
        QCOMPARE(rig->Get<QComboBox>("fileTypeList")->currentText(), QStringLiteral("WAVE"));
        QCOMPARE(rig->Get<QComboBox>("fileTypeList")->itemText(1), QStringLiteral("AIFF"));
        QCOMPARE(rig->Get<QComboBox>("fileTypeList")->itemText(2), QStringLiteral("FLAC"));
    }

    // The save dialog of each type, and the file it writes.
    void saveDialogOfTheChosenType_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QByteArray>("start");  // of the file written
        QTest::newRow("WAVE") << "WAVE" << ".wav" << "WAVE File (*.wav)| *.wav|All Files (*.*)|*.*||"
                              << QByteArray("RIFF");
        QTest::newRow("FLAC") << "FLAC" << ".flac" << "FLAC File (*.flac)|*.flac|All Files (*.*)|*.*||"
                              << QByteArray("fLaC");
    }

    void saveDialogOfTheChosenType()
    {
        QFETCH(QString, type);
        QFETCH(QString, extension);
        QFETCH(QByteArray, start);
        const auto rig = RigWithProject();
        testsupport::TempFolder out;
        rig->Click("trackBox1");
        rig->Get<QComboBox>("fileTypeList")->setCurrentText(type);
        rig->ui.dialogAnswers.push_back(out.File("take" + extension.toStdString()));
        rig->Click("convertButton");
        QCOMPARE(guitest::Messages(rig->ui), QStringList{QString::fromStdString(MessageText(MessageId::ConvertSucceeded))});
        QCOMPARE(QString::fromStdString(rig->ui.DialogRequests().back().defaultExtension), extension);
        QTEST(QString::fromStdString(rig->ui.DialogRequests().back().filter), "filter");
        const auto written = testsupport::ReadBytes(out.File("take11" + extension.toStdString()));
        QVERIFY(written.size() > static_cast<std::size_t>(start.size()));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(written.data()), start.size()), start);
    }

    void limitRule_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<QString>("lists");
        QTest::addColumn<QString>("count");
        QTest::addColumn<bool>("convert");
        QTest::newRow("mono, nothing ticked") << "monoButton" << QList<int>{} << "11111111" << "00000000" << "0" << false;
        QTest::newRow("mono, all eight") << "monoButton" << QList<int>{1, 2, 3, 4, 5, 6, 7, 8} << "11111111"
                                         << "11111111" << "8" << true;
        QTest::newRow("mono, tick and untick") << "monoButton" << QList<int>{4, 4} << "11111111" << "00000000" << "0"
                                               << false;
        QTest::newRow("stereo, one") << "stereoButton" << QList<int>{2} << "11111111" << "01000000" << "1" << true;
        QTest::newRow("stereo, two lock the others") << "stereoButton" << QList<int>{2, 7} << "01000010" << "01000010"
                                                     << "2" << true;
        QTest::newRow("stereo, untick one of two") << "stereoButton" << QList<int>{2, 7, 7} << "11111111"
                                                   << "01000000" << "1" << true;
        QTest::newRow("mono clicked again clears") << "monoButton" << QList<int>{1, 5, -1} << "11111111"
                                                   << "00000000" << "0" << false;
    }

    void limitRule()
    {
        QFETCH(QString, mode);
        QFETCH(QList<int>, clicks);
        std::vector<guitest::TrackSamples> everyTrack;
        for (int track = 1; track <= static_cast<int>(kTrackCount); ++track)
            everyTrack.push_back({track, 1, m_track1});
        DiskFolder disk(guitest::DiskWith(everyTrack));
        const auto rig = std::make_unique<GuiRig>(disk.Path());
        rig->ChooseProject(0);
        const QByteArray modeName = mode.toLatin1();
        rig->Click(modeName.constData());
        for (const int track : clicks) {
            if (track < 0)
                rig->Click(modeName.constData());  // the mode already chosen
            else
                QTest::mouseClick(rig->frame->findChild<QCheckBox*>(BoxName(track)), Qt::LeftButton);
        }
        QTEST(EnabledBoxes(*rig), "boxes");
        QTEST(EnabledLists(*rig), "lists");
        QTEST(LabelText(*rig, "selectTracksValue"), "count");
        QTEST(rig->Get<QPushButton>("convertButton")->isEnabled(), "convert");
    }

    // Which tracks and virtual tracks hold recordings: strips, greyed list entries, and
    // Convert waits while a ticked track's virtual track is empty, saying why.
    void showsWhereRecordingsLie()
    {
        const auto rig = RigWithProject();
        const auto strip = [&](int track) {
            return rig->frame->findChild<QWidget*>(QStringLiteral("trackStrip%1").arg(track));
        };
        QVERIFY(strip(1)->toolTip().startsWith(QStringLiteral("Recorded until ")));
        QCOMPARE(strip(2)->toolTip(), QStringLiteral("empty"));
        auto* list3 = rig->Get<QComboBox>("virtualTrackList3");
        QVERIFY(list3->itemData(0, Qt::ForegroundRole).isValid());   // virtual track 1: empty
        QVERIFY(!list3->itemData(1, Qt::ForegroundRole).isValid());  // virtual track 2: recorded
        auto* note = rig->Get<QLabel>("emptyTrackNote");
        rig->Click("trackBox3");
        QVERIFY(!rig->Get<QPushButton>("convertButton")->isEnabled());
        QCOMPARE(note->text(), QStringLiteral("track 3 (virtual track 1) has no recording on this disk"));
        QVERIFY(!note->isHidden());
        list3->setCurrentIndex(1);
        QVERIFY(rig->Get<QPushButton>("convertButton")->isEnabled());
        QVERIFY(note->isHidden());
        QVERIFY(strip(3)->toolTip().startsWith(QStringLiteral("Recorded until ")));
    }

    void stereoClearsFiveTickedTracks()
    {
        const auto rig = RigWithProject();
        for (int track = 1; track <= 5; ++track)
            QTest::mouseClick(rig->frame->findChild<QCheckBox*>(BoxName(track)), Qt::LeftButton);
        rig->Click("stereoButton");
        QCOMPARE(LabelText(*rig, "selectTracksValue"), QStringLiteral("0"));
        QVERIFY(!rig->Get<QPushButton>("convertButton")->isEnabled());
        QCOMPARE(EnabledBoxes(*rig), QStringLiteral("11111111"));
    }

    void altDigitClicksTheTrackBox()
    {
        const auto rig = RigWithProject();
        rig->Activate();
        QTest::keyClick(rig->frame.get(), Qt::Key_3, Qt::AltModifier);
        QTRY_VERIFY(rig->Get<QCheckBox>("trackBox3")->isChecked());  // a mnemonic clicks after a short press
        QCOMPARE(LabelText(*rig, "selectTracksValue"), QStringLiteral("1"));
    }

    // One key per action: Alt+P presses "Select &Project", the Page menu keeps Alt+A.
    void altPPressesSelectProject()
    {
        GuiRig rig(m_disk->Path());
        bool dialogOpened = false;
        guitest::OnNextModal([&dialogOpened](QDialog& dialog) {
            dialogOpened = dialog.objectName() == QStringLiteral("selectProjectDialog");
            dialog.reject();
        });
        rig.Activate();
        QTest::keyClick(rig.frame.get(), Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(dialogOpened);  // a mnemonic clicks after a short press
        QVERIFY(!rig.Get<QMenu>("pageMenu")->isVisible());
        QVERIFY(!rig.doc.m_bProjectChosen);
    }

    void exportWritesTheChosenTracks_data()
    {
        QTest::addColumn<bool>("stereo");
        QTest::addColumn<QString>("type");
        QTest::newRow("mono WAVE, track 3 from VTr2") << false << "WAVE";
        QTest::newRow("stereo AIFF, track 1 on channel 1") << true << "AIFF";
    }

    void exportWritesTheChosenTracks()
    {
        QFETCH(bool, stereo);
        QFETCH(QString, type);
        const auto rig = RigWithProject();
        testsupport::TempFolder out;
        ChooseTrack1AndTrack3OfVTr2(*rig, stereo);
        rig->Get<QComboBox>("fileTypeList")->setCurrentText(type);
        rig->ui.dialogAnswers.push_back(out.File(stereo ? "mix.aif" : "take.wav"));
        rig->Click("convertButton");

        QCOMPARE(guitest::Messages(rig->ui), QStringList{QString::fromStdString(MessageText(MessageId::ConvertSucceeded))});
        QCOMPARE(rig->ui.DialogRequests().back().title, std::string("Export Track 1 and 3 as"));
        if (stereo) {
            QVERIFY(StartsWithThenSilence(guitest::SoundData(testsupport::ReadBytes(out.File("mix.aif"))),
                                          Interleaved(m_track1, m_track3v2)));
        } else {
            QVERIFY(StartsWithThenSilence(guitest::SoundData(testsupport::ReadBytes(out.File("take11.wav"))),
                                          Le16(m_track1)));
            QVERIFY(StartsWithThenSilence(guitest::SoundData(testsupport::ReadBytes(out.File("take32.wav"))),
                                          Le16(m_track3v2)));
        }
    }

    // "Convert succeeded." lists the files written and offers their folder.
    void exportSuccessListsTheFiles_data()
    {
        QTest::addColumn<bool>("stereo");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");  // %1: the output folder
        QTest::newRow("mono makes a file per track") << false << "take.wav" << "Written in %1:\ntake11.wav\ntake32.wav";
        QTest::newRow("stereo makes one") << true << "mix.aif" << "Written in %1:\nmix.aif";
    }

    void exportSuccessListsTheFiles()
    {
        QFETCH(bool, stereo);
        QFETCH(QString, name);
        const auto rig = RigWithProject();
        testsupport::TempFolder out;
        ChooseTrack1AndTrack3OfVTr2(*rig, stereo);
        rig->ui.dialogAnswers.push_back(out.File(name.toStdString()));
        rig->Click("convertButton");
        QCOMPARE(guitest::Messages(rig->ui), QStringList{QString::fromStdString(MessageText(MessageId::ConvertSucceeded))});
        QFETCH(QString, written);
        QCOMPARE(guitest::Details(rig->ui), QStringList{written.replace("%1", QString::fromStdString(out.Path()))});
        QCOMPARE(rig->ui.events.back().detail.folder, out.Path());
    }

    // Each refused export shows "Convert failed." with the reason beside it.
    void exportFailuresSayWhy_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason");  // %2: take11.wav in the output folder
        // (A ticked track with no recording keeps Convert from starting: showsWhereRecordingsLie.)
        QTest::newRow("a disk changed behind the page") << "other disk" << "the chosen project is no longer on this disk";
        QTest::newRow("a folder in the way of the file") << "in the way" << "%2: cannot be written";
    }

    void exportFailuresSayWhy()
    {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        const auto rig = RigWithProject();
        testsupport::TempFolder out;
        DiskFolder other(guitest::DiskWith({{1, 1, m_track3v2}}, "Other"));
        if (how == "other disk") {
            rig->doc.SetMoFolder(other.Path());
        } else if (how == "in the way") {
            std::filesystem::create_directory(out.File("take11.wav"));
            rig->ui.questionAnswers.push_back(platform::Answer::Yes);  // replace it
        }
        rig->Click("trackBox1");
        rig->ui.dialogAnswers.push_back(out.File("take.wav"));
        rig->Click("convertButton");
        // After the question whether to replace, where one is asked.
        QCOMPARE(guitest::Messages(rig->ui).back(), QString::fromStdString(MessageText(MessageId::ConvertFailed)));
        QCOMPARE(guitest::Details(rig->ui).back(), reason.replace("%2", QString::fromStdString(out.File("take11.wav"))));
        if (how == "other disk") {  // refused before any file dialog or file
            QCOMPARE(rig->ui.Count(UiEvent::Kind::FileDialog), 0);
            QCOMPARE(rig->ui.Count(UiEvent::Kind::ProgressCreated), 0);
        }
    }

    void cancelledSaveDialogEndsQuietly()
    {
        const auto rig = RigWithProject();
        rig->Click("trackBox1");
        rig->Click("convertButton");
        QCOMPARE(rig->ui.Count(UiEvent::Kind::FileDialog), 1);
        QVERIFY(guitest::Messages(rig->ui).isEmpty());
        QVERIFY(rig->Get<QCheckBox>("trackBox1")->isChecked());
    }

    // After "Select Drive..." the chosen project stays only when the new disk lists its
    // record unchanged; otherwise the page shows no project. The title names the disk.
    void driveChangeKeepsOnlyTheSameProject_data()
    {
        QTest::addColumn<bool>("sameDisk");
        QTest::newRow("a copy of the disk") << true;
        QTest::newRow("another disk") << false;
    }

    void driveChangeKeepsOnlyTheSameProject()
    {
        QFETCH(bool, sameDisk);
        const auto rig = RigWithProject();
        DiskFolder other(sameDisk ? guitest::DiskWith({{1, 1, m_track1}, {3, 2, m_track3v2}})
                                  : guitest::DiskWith({{1, 1, m_track3v2}}, "Other"));
        rig->ui.folderAnswers.push_back(other.Path());
        rig->frame->findChild<QAction*>(QStringLiteral("selectDriveAction"))->trigger();
        QCOMPARE(rig->doc.m_strMoFolder, other.Path());
        QCOMPARE(rig->doc.m_bProjectChosen, sameDisk);
        QCOMPARE(LabelText(*rig, "projectNameValue"), sameDisk ? QStringLiteral("Song") : QString());
        QCOMPARE(LabelText(*rig, "diskNote").contains(QStringLiteral("the project chosen before is not on this disk")),
                 !sameDisk);
        QCOMPARE(rig->frame->windowTitle(),
                 QDir::toNativeSeparators(QString::fromStdString(other.Path())) + QStringLiteral(" - Wavelorn"));
    }

    void cancelledDriveChoiceRestoresTheDocument()
    {
        const auto rig = RigWithProject();
        const COVFtoWAVEDoc before = rig->doc;
        rig->frame->findChild<QAction*>(QStringLiteral("selectDriveAction"))->trigger();
        QCOMPARE(rig->ui.Count(UiEvent::Kind::FolderBrowser), 1);
        QCOMPARE(rig->doc.m_strMoFolder, before.m_strMoFolder);
        QCOMPARE(rig->doc.m_strFnbPath, before.m_strFnbPath);
        QVERIFY(std::memcmp(&rig->doc.m_projectRecord, &before.m_projectRecord, sizeof(sobinder)) == 0);
    }

    // The dialog writes the texts and the record before it closes; Cancel rolls all back.
    void cancelledProjectChoiceRestoresTheDocument()
    {
        GuiRig rig(m_disk->Path());
        guitest::OnNextModal([](QDialog& dialog) {
            dialog.findChild<QPushButton*>(QStringLiteral("selectButton"))->click();
        });
        rig.frame->View().OnSelectProject();
        const COVFtoWAVEDoc chosen = rig.doc;
        DiskFolder other(guitest::DiskWith({{1, 1, m_track1}}, "Second"));
        rig.doc.SetMoFolder(other.Path());
        guitest::OnNextModal([](QDialog& dialog) {
            auto* list = dialog.findChild<QListWidget*>(QStringLiteral("projectList"));
            list->setCurrentRow(-1);
            dialog.findChild<QPushButton*>(QStringLiteral("selectButton"))->click();  // writes, stays open
            QVERIFY(dialog.isVisible());
            QTest::keyClick(list, Qt::Key_Escape);
        });
        rig.frame->View().OnSelectProject();
        QCOMPARE(rig.doc.m_strProjectName, chosen.m_strProjectName);
        QVERIFY(rig.doc.m_bProjectChosen);
        QVERIFY(std::memcmp(&rig.doc.m_projectRecord, &chosen.m_projectRecord, sizeof(sobinder)) == 0);
    }

    void pageSwitchingMovesTheMarksAndGreysTheProjectCommand_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("menu") << "menu";
        QTest::newRow("tab click") << "click";
        QTest::newRow("keyboard on the tab bar") << "keyboard";
        QTest::newRow("Ctrl+Tab") << "ctrltab";
    }

    // Ctrl+Tab and Ctrl+Shift+Tab switch the page from whatever widget holds the focus.
    void ctrlTabSwitchesThePageFromEveryKindOfField_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("backwards");
        QTest::newRow("MO->File button") << 0 << "convertButton" << false;
        QTest::newRow("MO->File check box") << 0 << "trackBox2" << false;
        QTest::newRow("MO->File list") << 0 << "virtualTrackList1" << true;
        QTest::newRow("MO->File type list") << 0 << "fileTypeList" << false;
        QTest::newRow("File->MO track field") << 1 << "trackEdit1" << false;
        QTest::newRow("File->MO project name") << 1 << "projectNameEdit" << true;
        QTest::newRow("File->MO Ref... button") << 1 << "refButton1" << false;
    }

    void ctrlTabSwitchesThePageFromEveryKindOfField()
    {
        QFETCH(int, page);
        QFETCH(QString, focus);
        QFETCH(bool, backwards);
        GuiRig rig(m_disk->Path());
        auto* tabs = rig.Get<QTabWidget>("pageTabs");
        tabs->setCurrentIndex(page);
        auto* field = rig.Get<QWidget>(focus.toLatin1().constData());
        field->setEnabled(true);
        field->setFocus();
        QCOMPARE(QApplication::focusWidget(), field);
        const Qt::KeyboardModifiers modifiers = backwards ? (Qt::ControlModifier | Qt::ShiftModifier)
                                                          : Qt::KeyboardModifiers(Qt::ControlModifier);
        QTest::keyClick(field, backwards ? Qt::Key_Backtab : Qt::Key_Tab, modifiers);
        QCOMPARE(tabs->currentIndex(), 1 - page);
    }

    void pageSwitchingMovesTheMarksAndGreysTheProjectCommand()
    {
        QFETCH(QString, how);
        GuiRig rig(m_disk->Path());
        auto* moToFile = rig.Get<QAction>("moToFileAction");
        auto* fileToMo = rig.Get<QAction>("fileToMoAction");
        auto* project = rig.Get<QAction>("selectProjectAction");
        auto* tabs = rig.Get<QTabWidget>("pageTabs");
        QVERIFY(moToFile->isChecked() && !fileToMo->isChecked() && project->isEnabled());

        QTabBar* bar = tabs->tabBar();
        if (how == "menu") {
            fileToMo->trigger();
        } else if (how == "click") {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        } else if (how == "keyboard") {
            bar->setFocus();
            QTest::keyClick(bar, Qt::Key_Right);
        } else {
            rig.Get<QPushButton>("convertButton")->setFocus();
            QTest::keyClick(rig.Get<QPushButton>("convertButton"), Qt::Key_Tab, Qt::ControlModifier);
        }
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(rig.Get<QWidget>("fileSelPage")->isVisible());
        QVERIFY(!moToFile->isChecked() && fileToMo->isChecked());
        QVERIFY(!project->isEnabled());

        moToFile->trigger();
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(moToFile->isChecked() && project->isEnabled());
    }
};

QTEST_MAIN(TrkSelPageTest)
#include "TrkSelPageTest.moc"
