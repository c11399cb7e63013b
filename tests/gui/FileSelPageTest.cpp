// The File->MO page: the track fields' checks and keys, the enabling states, the
// order of the checks before an import, an import onto a disk from the disk writer,
// and sound files of other formats converted in front of the import.

#include "tests/gui/GuiRig.h"

#include "convert/ImportConversion.h"
#include "platform/FileSystem.h"
#include "platform/Messages.h"
#include "recorder/Errors.h"
#include "recorder/TrackFile.h"
#include "recorder/Records.h"
#include "tests/support/FnbTextFixture.h"
#include "tests/support/SoundSources.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QtTest>

#include <algorithm>
#include <filesystem>
#include <set>

using guitest::DiskFolder;
using guitest::GuiRig;
using testsupport::UiEvent;

namespace {

// One recorder block of 16-bit samples: 8192 groups of 8.
constexpr std::size_t kBlockSamples = 8192 * kSamplesPerGroup;
constexpr std::uint32_t kRate48000Hz = 48000;
constexpr std::uint32_t kRate44100Hz = 44100;
constexpr std::uint32_t kRate88200Hz = 88200;  // imported, but not exported once taken over
constexpr std::uint32_t kRate22050Hz = 22050;  // no recorder rate
constexpr std::uint32_t kRate96000Hz = 96000;
constexpr int kFloatWave = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
constexpr int kShortWave = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr unsigned kBits24 = 24;
constexpr double kToneLevel = 0.5;
constexpr double kClippingLevel = 1.2;  // of a float source, beyond full scale
constexpr std::size_t kWaveChannelsAt = 22;
constexpr std::size_t kWaveByteRateAt = 28;
constexpr std::size_t kWaveBlockAlignAt = 32;

std::set<std::string> FileNames(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// The packed block of the samples, then only zero padding of the data file's last block.
bool StartsWithThenZeros(const std::vector<std::uint8_t>& file, const std::vector<std::uint8_t>& expected)
{
    return file.size() >= expected.size() && std::equal(expected.begin(), expected.end(), file.begin()) &&
           std::all_of(file.begin() + static_cast<std::ptrdiff_t>(expected.size()), file.end(),
                       [](std::uint8_t byte) { return byte == 0; });
}

// A 16-bit stereo WAVE file: the mono file's header with two channels.
// A 16-bit WAVE file of `channels` channels: the mono file's header with more channels.
std::vector<std::uint8_t> MultiChannelWaveBytes(const std::vector<std::int32_t>& samples, std::uint32_t rate,
                                                std::uint8_t channels)
{
    auto bytes = guitest::WaveBytes(samples, rate);
    bytes[kWaveChannelsAt] = channels;
    const std::uint32_t byteRate = rate * 2 * channels;
    for (std::size_t i = 0; i < 4; ++i)
        bytes[kWaveByteRateAt + i] = static_cast<std::uint8_t>(byteRate >> (8 * i));
    bytes[kWaveBlockAlignAt] = static_cast<std::uint8_t>(2 * channels);
    return bytes;
}

QString Text(MessageId id)
{
    return QString::fromStdString(MessageText(id));
}

// A recorder disk with project 01 in FNB.BIN and FNB.TXT.
diskwriter::Disk ImportDisk()
{
    auto disk = guitest::DiskWith({{1, 1, guitest::Signal(kBlockSamples, 5)}});
    disk.SetFnbText(importtest::AsText(importtest::PaddedFnbText("SNGSERIAL: 01\r\nSONGTITLE: Song\r\n\r\n")));
    return disk;
}

// The disk, a folder of source files beside it, and the main window on the File->MO page.
class ImportRig {
public:
    ImportRig() : disk(ImportDisk()), rig(disk.Path())
    {
        rig.frame->View().SelectPage(COVFtoWAVEView::FileToMo);
    }

    QString Source(const char* name, std::uint32_t rate, const std::vector<std::int32_t>& samples) const
    {
        testsupport::WriteBytes(sources.File(name), guitest::WaveBytes(samples, rate));
        return QString::fromStdString(sources.File(name));
    }
    // A source libsndfile writes: the two-tone signal at `level`.
    QString Sound(const char* name, int format, std::uint32_t rate, int channels, double level = kToneLevel) const
    {
        const int hz = static_cast<int>(rate);
        if (!testsupport::WriteSoundFile(sources.File(name), format, hz, channels,
                                         testsupport::ToneFrames(hz, channels, level)))
            qFatal("libsndfile cannot write %s", name);
        return QString::fromStdString(sources.File(name));
    }
    QString Junk(const char* name) const
    {
        testsupport::WriteBytes(sources.File(name), {'j', 'u', 'n', 'k'});
        return QString::fromStdString(sources.File(name));
    }

    QLineEdit* Field(int track) const { return rig.Get<QLineEdit>(QStringLiteral("trackEdit%1").arg(track).toLatin1()); }
    // Types `name` into a track field and presses Enter (with `modifiers`).
    void Enter(int track, const QString& name, Qt::KeyboardModifiers modifiers = {}) const
    {
        Field(track)->setFocus();
        Field(track)->setText(name);
        QTest::keyClick(Field(track), Qt::Key_Return, modifiers);
    }
    QString Value(const char* name) const { return rig.Get<QLabel>(name)->text(); }
    bool Shown(const char* name) const { return rig.Get<QWidget>(name)->isVisibleTo(rig.frame.get()); }
    void Choose(const char* name, const QVariant& value) const
    {
        auto* choice = rig.Get<QComboBox>(name);
        choice->setCurrentIndex(choice->findData(value));
    }
    // Convert, and the data files it added to the disk.
    std::set<std::string> ConvertAndListNewFiles() const
    {
        const auto before = FileNames(disk.Path());
        rig.Click("importConvertButton");
        std::set<std::string> added;
        for (const auto& file : FileNames(disk.Path())) {
            if (before.count(file) == 0 && file != kFnbTextFileName)
                added.insert(file);
        }
        return added;
    }
    bool OthersEnabled() const
    {
        bool all = true;
        for (int track = 2; track <= static_cast<int>(kTrackCount); ++track)
            all = all && Field(track)->isEnabled();
        return all && rig.Get<QLineEdit>("projectNameEdit")->isEnabled() &&
               rig.Get<QPushButton>("importConvertButton")->isEnabled();
    }

    DiskFolder disk;
    testsupport::TempFolder sources;
    GuiRig rig;
};

// The temporary folder of the scratch files while it lives (TMPDIR).
struct TemporaryFolderOfTheRun {
    TemporaryFolderOfTheRun() { qputenv("TMPDIR", QByteArray::fromStdString(folder.Path())); }
    ~TemporaryFolderOfTheRun() { qunsetenv("TMPDIR"); }
    testsupport::TempFolder folder;
};

// Drops `paths` (files or folders of this computer) on `target`, as a file manager
// would: true when the target took them.
bool Drop(QWidget* target, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint centre = target->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

}  // namespace

class FileSelPageTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithOnlyTrack1AndExit()
    {
        ImportRig r;
        QVERIFY(r.Field(1)->isEnabled());
        QVERIFY(r.rig.Get<QPushButton>("refButton1")->isEnabled());
        QVERIFY(r.rig.Get<QPushButton>("importExitButton")->isEnabled());
        QVERIFY(!r.rig.Get<QPushButton>("refButton2")->isEnabled());
        QVERIFY(!r.OthersEnabled());
        QCOMPARE(r.rig.Get<QLineEdit>("projectNameEdit")->text(), QStringLiteral("Untitled"));
    }

    void track1CheckMovesBetweenTheTwoStates()
    {
        ImportRig r;
        const QString good = r.Source("take.wav", kRate48000Hz, guitest::Signal(kBlockSamples, 1));
        r.Enter(1, good);
        QVERIFY(r.OthersEnabled());
        QCOMPARE(r.Value("importRateValue"), QStringLiteral("48000 Hz"));
        QCOMPARE(r.Value("importBitsValue"), QStringLiteral("16 bit"));
        QCOMPARE(QApplication::focusWidget(), r.rig.Get<QWidget>("refButton1"));

        r.Enter(1, r.Junk("take.mp3"));
        QCOMPARE(guitest::Messages(r.rig.ui), QStringList{Text(MessageId::FormatUnknown)});
        QVERIFY(!r.OthersEnabled());
        QVERIFY(r.Value("importRateValue").isEmpty());
        QCOMPARE(QApplication::focusWidget(), r.Field(1));
        QCOMPARE(r.Field(1)->selectedText(), r.Field(1)->text());
    }

    // Sound files dropped on a field fill it and the fields after it in the order
    // dropped, "Ref..." fills its own; a folder dropped on the window opens as the disk.
    void dropsAndRefFillTheFieldsAndAFolderOpensTheDisk()
    {
        ImportRig r;
        const auto samples = guitest::Signal(kBlockSamples, 1);
        const QStringList three = {r.Source("a.wav", kRate48000Hz, samples), r.Source("b.wav", kRate48000Hz, samples),
                                   r.Source("c.wav", kRate48000Hz, samples)};
        QVERIFY(Drop(r.Field(1), three));
        for (int track = 1; track <= static_cast<int>(kTrackCount); ++track)
            QCOMPARE(r.Field(track)->text(), track <= 3 ? three[track - 1] : QString());
        // "Ref..." asks for the file of its own track, every sound file shown first.
        r.rig.ui.dialogAnswers.push_back(three[2].toStdString());
        r.rig.Click("refButton4");
        QCOMPARE(r.Field(4)->text(), three[2]);
        QCOMPARE(r.rig.ui.DialogRequests().back().title, std::string("Sound file for Track 4"));
        QVERIFY(r.rig.ui.DialogRequests().back().filter.starts_with("Sound Files ("));

        // A folder is no sound file: dropped on a field too, the window opens it as the disk.
        DiskFolder other(ImportDisk());
        QVERIFY(Drop(r.Field(2), {QString::fromStdString(other.Path())}));
        QCOMPARE(r.Field(2)->text(), three[1]);
        QCOMPARE(r.rig.doc.m_strMoFolder, other.Path());
    }

    void trackFieldKeys_data()
    {
        QTest::addColumn<int>("track");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("focus");
        QTest::newRow("Enter moves on to Ref...") << 2 << false << "refButton2";
        QTest::newRow("Shift+Enter moves back") << 2 << true << "refButton1";
        QTest::newRow("Track 8 moves on to the project name") << 8 << false << "refButton8";
    }

    void trackFieldKeys()
    {
        QFETCH(int, track);
        QFETCH(bool, shift);
        ImportRig r;
        const QString good = r.Source("take.wav", kRate48000Hz, guitest::Signal(kBlockSamples, 1));
        r.Enter(1, good);
        r.Enter(track, good, shift ? Qt::ShiftModifier : Qt::NoModifier);
        QTEST(QApplication::focusWidget()->objectName(), "focus");
        QVERIFY(r.rig.ui.Messages().empty());
    }

    void enterInAnEmptyFieldDoesNothing()
    {
        ImportRig r;
        r.Enter(1, QString());
        QCOMPARE(QApplication::focusWidget(), r.Field(1));
        QVERIFY(r.rig.ui.Messages().empty());
    }

    void tabAndShiftTabFollowTheTabOrder()
    {
        ImportRig r;
        r.Enter(1, r.Source("take.wav", kRate48000Hz, guitest::Signal(kBlockSamples, 1)));
        r.Field(3)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("refButton3"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), r.Field(4));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), r.Field(3));
        QCOMPARE(r.Field(3)->selectedText(), r.Field(3)->text());  // keyboard focus selects all
    }

    void trackNameChecks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << "nothere.wav" << Text(MessageId::FileNotFound);
        QTest::newRow("other extension") << "take.wave" << Text(MessageId::FormatUnknown);
        QTest::newRow("other rate, converted") << "slow.wav" << QString();
        QTest::newRow("upper-case extension") << "TAKE.WAV" << QString();
    }

    void trackNameChecks()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        ImportRig r;
        const auto samples = guitest::Signal(kBlockSamples, 1);
        r.Enter(1, r.Source("take.wav", kRate48000Hz, samples));
        r.Source("slow.wav", kRate44100Hz, samples);
        r.Source("TAKE.WAV", kRate48000Hz, samples);
        r.Junk("take.wave");
        r.Enter(2, QString::fromStdString(r.sources.File(name.toStdString())));
        QCOMPARE(guitest::Messages(r.rig.ui), message.isEmpty() ? QStringList{} : QStringList{message});
        QVERIFY(r.OthersEnabled());  // a check of Track 2 never locks the page
    }

    void validateOrder_data()
    {
        QTest::addColumn<QStringList>("tracks");  // file names per track, "" for empty
        QTest::addColumn<QString>("message");
        QTest::newRow("Track 1 empty") << QStringList{"", "take.wav"} << Text(MessageId::Track1NameWrong);
        QTest::newRow("Track 1 neither extension") << QStringList{"take.mp3"} << Text(MessageId::Track1NameWrong);
        QTest::newRow("refused format before no room")
            << QStringList{"take.wav", "three.wav"} << Text(MessageId::FormatUnknown);
        QTest::newRow("AIFF header refused") << QStringList{"take.wav", "bad.aif"} << Text(MessageId::FormatUnknown);
        QTest::newRow("Track 2 neither extension") << QStringList{"take.wav", "take.mp3"} << Text(MessageId::FormatUnknown);
    }

    void validateOrder()
    {
        QFETCH(QStringList, tracks);
        QFETCH(QString, message);
        ImportRig r;
        const auto samples = guitest::Signal(kBlockSamples, 1);
        r.Enter(1, r.Source("take.wav", kRate48000Hz, samples));
        testsupport::WriteBytes(r.sources.File("three.wav"), MultiChannelWaveBytes(samples, kRate48000Hz, 3));
        r.Junk("take.mp3");
        r.Junk("bad.aif");
        for (int k = 0; k < static_cast<int>(kTrackCount); ++k) {
            const QString name = k < tracks.size() ? tracks[k] : QString();
            r.Field(k + 1)->setText(name.isEmpty() ? name : QString::fromStdString(r.sources.File(name.toStdString())));
        }
        const auto before = r.rig.ui.events.size();
        r.rig.Click("importConvertButton");
        QStringList shown;
        for (auto i = before; i < r.rig.ui.events.size(); ++i) {
            if (r.rig.ui.events[i].kind == UiEvent::Kind::Message)
                shown << QString::fromStdString(r.rig.ui.events[i].text);
        }
        QCOMPARE(shown, QStringList{message});
        QCOMPARE(r.rig.ui.Count(UiEvent::Kind::ProgressCreated), 0);
        if (message == Text(MessageId::FormatUnknown))
            QCOMPARE(QApplication::focusWidget(), r.Field(2));
    }

    // Each refusal keeps the system's text and says the reason beside it, naming the file.
    void refusalsSayWhy_data()
    {
        QTest::addColumn<int>("track");
        QTest::addColumn<QString>("name");  // in the sources folder; empty: Convert with Track 1 empty
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reason");  // %1: the file's path
        QTest::newRow("three-channel source") << 1 << "three.wav" << Text(MessageId::FormatUnknown)
                                              << "%1: 3 channels; only mono files can be imported";
        // Sources of other formats are converted, without a word.
        QTest::newRow("22050 Hz source") << 1 << "slow.wav" << "" << "";
        QTest::newRow("other format than Track 1") << 2 << "other.wav" << "" << "";
        QTest::newRow("missing file") << 2 << "gone.wav" << Text(MessageId::FileNotFound) << "%1: no such file";
        QTest::newRow("Track 1 empty") << 1 << "" << Text(MessageId::Track1NameWrong) << "Track 1 names no file";
    }

    void refusalsSayWhy()
    {
        QFETCH(int, track);
        QFETCH(QString, name);
        ImportRig r;
        const auto samples = guitest::Signal(kBlockSamples, 1);
        r.Enter(1, r.Source("take.wav", kRate48000Hz, samples));
        testsupport::WriteBytes(r.sources.File("three.wav"), MultiChannelWaveBytes(samples, kRate48000Hz, 3));
        r.Source("slow.wav", kRate22050Hz, samples);
        r.Source("other.wav", kRate44100Hz, samples);
        const QString path = QString::fromStdString(r.sources.File(name.toStdString()));
        if (name.isEmpty()) {
            r.Field(1)->clear();
            r.rig.Click("importConvertButton");
        } else {
            r.Enter(track, path);
        }
        QTEST(guitest::Messages(r.rig.ui).join('|'), "message");
        QFETCH(QString, reason);
        QCOMPARE(guitest::Details(r.rig.ui).join('|'), reason.replace("%1", path));
    }

    // The field takes only what FNB.TXT can carry; a refused keystroke or paste inserts
    // nothing and the note beside the field names the character and the rule, until an
    // edit is taken again.
    void projectNameTakesTwelvePrintableCharacters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("note");
        const QString rule = QStringLiteral("a project name holds at most 12 printable characters");
        const QString notTaken = QStringLiteral(" is not taken: ") + rule +
                                 QStringLiteral(" (letters without accents, digits, spaces and signs)");
        QTest::newRow("thirteenth key") << "ABCDEFGHIJKLM" << "" << "ABCDEFGHIJKL"
                                        << QStringLiteral("The name is full: ") + rule;
        QTest::newRow("accented key") << QStringLiteral("Caf\u00e9") << "" << "Caf" << QStringLiteral("\"\u00e9\"") + notTaken;
        QTest::newRow("paste with an accent") << "" << QStringLiteral("Caf\u00e9") << "" << QStringLiteral("\"\u00e9\"") + notTaken;
        QTest::newRow("paste with a tab") << "" << "a\tb" << "" << QStringLiteral("U+0009") + notTaken;
        QTest::newRow("emoji key") << QStringLiteral("A\U0001F3B8") << "" << "A"
                                   << QStringLiteral("\"\U0001F3B8\"") + notTaken;
        QTest::newRow("all taken") << "Back <in>" << "" << "Back <in>" << "";
    }

    void projectNameTakesTwelvePrintableCharacters()
    {
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        ImportRig r;
        r.Enter(1, r.Source("take.wav", kRate48000Hz, guitest::Signal(kBlockSamples, 1)));
        auto* name = r.rig.Get<QLineEdit>("projectNameEdit");
        auto* note = r.rig.Get<QLabel>("projectNameNote");
        name->setFocus();
        name->clear();
        for (const char32_t code : typed.toUcs4())  // keyClicks knows ASCII keys only
            QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString::fromUcs4(&code, 1), Qt::NoModifier);
        if (!pasted.isEmpty()) {
            QApplication::clipboard()->setText(pasted);
            name->paste();
        }
        QTEST(name->text(), "kept");
        QTEST(note->text(), "note");
        QCOMPARE(note->isVisibleTo(r.rig.frame.get()), !note->text().isEmpty());
        QVERIFY(!name->testAttribute(Qt::WA_InputMethodEnabled));

        name->clear();
        QTest::keyClick(name, Qt::Key_X);
        QVERIFY(note->text().isEmpty() && !note->isVisibleTo(r.rig.frame.get()));
    }

    // Convert twice: two new projects, each with the source's one block as a data file.
    void importWritesANewProject()
    {
        ImportRig r;
        const auto samples = guitest::Signal(kBlockSamples, 77);
        r.Enter(1, r.Source("take.wav", kRate44100Hz, samples));
        auto* name = r.rig.Get<QLineEdit>("projectNameEdit");
        name->setText(QStringLiteral("Back <in>"));
        const auto before = FileNames(r.disk.Path());
        r.rig.Click("importConvertButton");
        r.rig.Click("importConvertButton");

        const QString succeeded = Text(MessageId::ConvertSucceeded);
        QCOMPARE(guitest::Messages(r.rig.ui), (QStringList{succeeded, succeeded}));
        const QString takeOver = QStringLiteral(" is on the disk; the recorder takes it over the next time it reads the disk.");
        QCOMPARE(guitest::Details(r.rig.ui),
                 (QStringList{QStringLiteral("Project 02") + takeOver, QStringLiteral("Project 03") + takeOver}));
        const auto text = testsupport::ReadBytes(r.disk.File(kFnbTextFileName));
        const std::string fnbText(text.begin(), text.end());
        QVERIFY(fnbText.find("SONGTITLE: Back <in>") != std::string::npos);
        const auto expected = diskwriter::EncodeTrackData(samples, kWordLength16);
        int dataFiles = 0;
        for (const auto& file : FileNames(r.disk.Path())) {
            if (before.count(file) == 0 && file != kFnbTextFileName) {
                QVERIFY(StartsWithThenZeros(testsupport::ReadBytes(r.disk.File(file)), expected));
                ++dataFiles;
            }
        }
        QCOMPARE(dataFiles, 2);
        QCOMPARE(r.Field(1)->text().isEmpty(), false);  // the page keeps its names
    }

    // A disk another import holds is refused untouched, saying why; what an import warns
    // of is listed in its one result message.
    void importRefusesAHeldDiskAndShowsWarnings()
    {
        ImportRig r;
        r.Enter(1, r.Source("fast.wav", kRate88200Hz, guitest::Signal(kBlockSamples, 3)));
        const auto text = testsupport::ReadBytes(r.disk.File(kFnbTextFileName));
        {
            const auto held = platform::RealFileSystem().LockFolder(r.disk.Path());
            QCOMPARE(held.state, platform::FolderLockState::Held);
            r.rig.Click("importConvertButton");
        }
        QCOMPARE(guitest::Messages(r.rig.ui), QStringList{Text(MessageId::ConvertFailed)});
        QCOMPARE(guitest::Details(r.rig.ui).back(),
                 QString::fromStdString(r.disk.Path()) +
                     ": another import is writing to this disk; wait for it to finish, then import again");
        QVERIFY(testsupport::ReadBytes(r.disk.File(kFnbTextFileName)) == text);
        r.rig.Click("importConvertButton");
        QCOMPARE(guitest::Messages(r.rig.ui), (QStringList{Text(MessageId::ConvertFailed), Text(MessageId::ConvertSucceeded)}));
        QCOMPARE(guitest::Details(r.rig.ui).back(),
                 QStringLiteral("Project 02 is on the disk; the recorder takes it over the next time it reads the disk.\n"
                                "project 02: 88200 Hz: wavelorn cannot export this project once the recorder has taken it over"));
    }

    // A source the import does not take as it is but the conversion can make into the
    // project's format is accepted, the line below its field saying what happens; a
    // converted Track 1 offers the project's rate and word length, at the default format.
    void sourcesOfOtherFormats_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("plan");  // empty: no conversion
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("rateShown");  // of the choice, or the value as today
        QTest::newRow("stereo float 96 kHz") << kFloatWave << 96000 << 2
                                             << "96 kHz stereo float: left channel, resampled to 48 kHz, 24 bit" << true
                                             << "48000 Hz";
        QTest::newRow("16-bit 22.05 kHz mono") << kShortWave << 22050 << 1
                                               << "22.05 kHz mono 16 bit: resampled to 44.1 kHz, 16 bit" << true
                                               << "44100 Hz";
        QTest::newRow("at the project's format") << kShortWave << 48000 << 1 << "" << true << "48000 Hz";
        QTest::newRow("three channels refused") << kShortWave << 48000 << 3 << "" << false << "";
    }

    void sourcesOfOtherFormats()
    {
        QFETCH(int, format);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(QString, plan);
        QFETCH(bool, accepted);
        ImportRig r;
        r.Enter(1, r.Sound("source.wav", format, static_cast<std::uint32_t>(rate), channels));
        QCOMPARE(r.rig.Get<QLabel>("planNote1")->text(), plan);
        QCOMPARE(r.Shown("planNote1"), !plan.isEmpty());
        QCOMPARE(r.Shown("channelChoice1"), !plan.isEmpty() && channels == 2);
        QCOMPARE(r.OthersEnabled(), accepted);
        QCOMPARE(guitest::Messages(r.rig.ui).isEmpty(), accepted);
        const bool choices = !plan.isEmpty();
        QCOMPARE(r.Shown("importRateChoice"), choices);
        QCOMPARE(r.Shown("importBitsChoice"), choices);
        QCOMPARE(r.Shown("importRateValue"), !choices);
        QTEST(choices ? r.rig.Get<QComboBox>("importRateChoice")->currentText() : r.Value("importRateValue"),
              "rateShown");
    }

    // Convert with a converted Track 1 (its right channel at 44.1 kHz, beyond full scale):
    // the disk gets what the conversion stage makes of it, imported as it is; the clipped
    // samples are told of the user's file, and no scratch folder is left.
    void importConvertsAsTheConversionStageDoes()
    {
        ImportRig r;
        const TemporaryFolderOfTheRun temporary;
        const QString source = r.Sound("float.wav", kFloatWave, kRate96000Hz, 2, kClippingLevel);
        r.Enter(1, source);
        r.Choose("channelChoice1", static_cast<int>(convert::Channel::Right));
        r.Choose("importRateChoice", kRate44100Hz);
        QCOMPARE(r.rig.Get<QLabel>("planNote1")->text(),
                 QStringLiteral("96 kHz stereo float: right channel, resampled to 44.1 kHz, 24 bit"));
        const auto converted = r.ConvertAndListNewFiles();
        QCOMPARE(guitest::Messages(r.rig.ui), QStringList{Text(MessageId::ConvertSucceeded)});
        QVERIFY(guitest::Details(r.rig.ui).back().contains(source + QStringLiteral(" (right channel): ")));
        QVERIFY(!guitest::Details(r.rig.ui).back().contains(QString::fromStdString(temporary.folder.Path())));
        QVERIFY(FileNames(temporary.folder.Path()).empty());

        convert::ConversionStage stage;
        convert::SourceRequests requests;
        requests[0] = convert::SourceRequest{source.toStdString(), source.toStdString(), convert::Channel::Right};
        QVERIFY(!stage.Plan(requests, {kRate44100Hz, kBits24, true}));
        std::array<std::string, kTrackCount> names;
        std::vector<Warning> warnings;
        QVERIFY(!stage.Run({}, names, warnings));
        std::filesystem::copy_file(names[0], r.sources.File("converted.wav"));
        QVERIFY(stage.RemoveScratch());
        r.Enter(1, QString::fromStdString(r.sources.File("converted.wav")));
        QVERIFY(!r.Shown("planNote1") && !r.Shown("importRateChoice"));
        const auto asIs = r.ConvertAndListNewFiles();
        QCOMPARE(converted.size(), std::size_t{1});
        QCOMPARE(asIs.size(), std::size_t{1});
        QVERIFY(testsupport::ReadBytes(r.disk.File(*converted.begin())) ==
                testsupport::ReadBytes(r.disk.File(*asIs.begin())));
    }

    // Without a disk (none chosen, a folder that is gone or holds no FNB.BIN) the line
    // below the pages says so, and so do Select Project and Convert instead of an empty
    // list or "no disk free space".
    void noDiskIsSaid_data()
    {
        QTest::addColumn<QString>("folder");  // "none", "missing" or "empty"
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reason");  // %1: the folder
        const QString noDisk = QStringLiteral(
            "no disk is chosen; Select Drive... in the Select menu chooses the recorder's disk folder");
        const QString noIndex = QStringLiteral("%1: the disk folder holds no FNB.BIN");
        QTest::newRow("none, Select Project") << "none" << "project" << Text(MessageId::FileNotFound) << noDisk;
        QTest::newRow("none, Convert") << "none" << "import" << Text(MessageId::ConvertFailed) << noDisk;
        QTest::newRow("a missing folder, Convert") << "missing" << "import" << Text(MessageId::ConvertFailed) << noIndex;
        QTest::newRow("no FNB.BIN, Select Project") << "empty" << "project" << Text(MessageId::FileNotFound) << noIndex;
        QTest::newRow("no FNB.BIN, Convert") << "empty" << "import" << Text(MessageId::ConvertFailed) << noIndex;
    }

    void noDiskIsSaid()
    {
        QFETCH(QString, folder);
        QFETCH(QString, command);
        testsupport::TempFolder sources;
        std::string moFolder;  // none chosen
        if (folder == "missing")
            moFolder = sources.File("gone");
        else if (folder == "empty")
            moFolder = sources.Path();
        GuiRig rig(moFolder);
        const QString shownFolder = QString::fromStdString(rig.doc.m_strMoFolder);
        if (command == "project") {
            rig.frame->View().OnSelectProject();
        } else {
            rig.frame->View().SelectPage(COVFtoWAVEView::FileToMo);
            testsupport::WriteBytes(sources.File("take.wav"),
                                    guitest::WaveBytes(guitest::Signal(kBlockSamples, 1), kRate48000Hz));
            auto* track1 = rig.Get<QLineEdit>("trackEdit1");
            track1->setText(QString::fromStdString(sources.File("take.wav")));
            QTest::keyClick(track1, Qt::Key_Return);
            rig.Click("importConvertButton");
        }
        QTEST(guitest::Messages(rig.ui).join('|'), "message");
        QFETCH(QString, reason);
        reason.replace("%1", shownFolder);
        QCOMPARE(guitest::Details(rig.ui).join('|'), reason);
        QCOMPARE(rig.Get<QLabel>("diskNote")->text(), reason);
        QCOMPARE(rig.ui.Count(UiEvent::Kind::ProgressCreated), 0);
    }
};

QTEST_MAIN(FileSelPageTest)
#include "FileSelPageTest.moc"
