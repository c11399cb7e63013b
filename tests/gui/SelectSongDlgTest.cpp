// The project dialog on disks from the disk writer: its lines, labels and buttons.

#include "tests/gui/GuiRig.h"

#include "gui/GuiText.h"
#include "gui/SelectSongDlg.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <cstring>

using guitest::DiskFolder;

namespace {

struct Record {
    std::uint16_t number;
    const char* name;
    std::uint8_t rate;
    std::uint8_t wordLength;
};

diskwriter::Disk DiskOf(const std::vector<Record>& records)
{
    diskwriter::Disk disk;
    constexpr std::uint16_t kSlotsApart = 100;  // room for each project's track heads
    std::uint16_t slot = 2;
    for (const auto& record : records) {
        disk.AddProject({.slot = slot, .number = record.number, .name = record.name, .rate = record.rate,
                         .wordLength = record.wordLength});
        slot += kSlotsApart;
    }
    return disk;
}

QStringList Lines(const QListWidget& list)
{
    QStringList lines;
    for (int row = 0; row < list.count(); ++row)
        lines << list.item(row)->text();
    return lines;
}

// Project 01 "A" in FNB.BIN, and an FNB.TXT of the tool's own holding `text`.
struct PendingDisk {
    explicit PendingDisk(const std::string& text) : disk(DiskOf({{1, "A", kRate44100, kWordLength16}}))
    {
        testsupport::WriteBytes(disk.File("FNB.TXT"), std::vector<std::uint8_t>(text.begin(), text.end()));
        doc.SetMoFolder(disk.Path());
    }

    DiskFolder disk;
    COVFtoWAVEDoc doc;
};

QString Value(const QDialog& dialog, const char* name)
{
    return dialog.findChild<QLabel*>(QString::fromLatin1(name))->text();
}

}  // namespace

class SelectSongDlgTest : public QObject {
    Q_OBJECT

private slots:
    void linesAndInformation_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("bits");
        QTest::newRow("first") << 0 << "A" << "32.0KHz" << "20bit";
        QTest::newRow("generated name, unknown rate, code 0") << 1 << "Project 2" << "Unknown" << "16bit";
        QTest::newRow("word-length code 5") << 2 << "C" << "48.0KHz" << "16bit";
        QTest::newRow("control bytes") << 3 << "a?b" << "44.1KHz" << "24bit";
    }

    void linesAndInformation()
    {
        QFETCH(int, row);
        DiskFolder disk(DiskOf({{1, "A", kRate32000, kWordLength20},
                                {4, "", 0, kWordLength16},
                                {6, "C", kRate48000, 5},
                                {7, "a\x01" "b", kRate44100, kWordLength24}}));
        COVFtoWAVEDoc doc;
        doc.SetMoFolder(disk.Path());
        CSelectSongDlg dialog(doc, nullptr);
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("projectList"));
        QCOMPARE(Lines(*list), (QStringList{"01 : A", "04 : Project 2", "06 : C", "07 : a?b"}));
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(dialog.focusWidget(), list);

        list->setCurrentRow(row);
        QTEST(Value(dialog, "projectNameValue"), "name");
        QTEST(Value(dialog, "samplingRateValue"), "rate");
        QTEST(Value(dialog, "bitsValue"), "bits");

        dialog.show();
        QTest::keyClick(list, Qt::Key_Return);  // Enter in the list presses "&Select"
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(RecorderText(doc.m_strProjectName), Value(dialog, "projectNameValue"));
        QCOMPARE(doc.m_strSamplingRate, Value(dialog, "samplingRateValue").toStdString());
        QCOMPARE(int(doc.m_projectRecord.projectNumber), Lines(*list)[row].left(2).toInt());
    }

    void selectState_data()
    {
        QTest::addColumn<bool>("writeIndex");
        QTest::addColumn<qulonglong>("indexBytes");
        QTest::addColumn<bool>("selectEnabled");
        QTest::newRow("no FNB.BIN") << false << qulonglong(0) << false;
        QTest::newRow("FNB.BIN without a readable record") << true << qulonglong(64) << true;
    }

    // With nothing listed, "&Select" keeps the dialog open and clears the record.
    void selectState()
    {
        QFETCH(bool, writeIndex);
        QFETCH(qulonglong, indexBytes);
        testsupport::TempFolder folder;
        if (writeIndex)
            DiskOf({{1, "A", kRate44100, kWordLength16}}).SetFnbLength(indexBytes).Write(folder.Path());
        COVFtoWAVEDoc doc;
        doc.SetMoFolder(folder.Path());
        doc.m_projectRecord.projectNumber = 9;
        CSelectSongDlg dialog(doc, nullptr);
        auto* select = dialog.findChild<QPushButton*>(QStringLiteral("selectButton"));
        QTEST(select->isEnabled(), "selectEnabled");
        QCOMPARE(dialog.findChild<QListWidget*>(QStringLiteral("projectList"))->count(), 0);
        dialog.show();
        select->click();
        if (select->isEnabled()) {
            QVERIFY(dialog.isVisible());
            const sobinder zero{};
            QVERIFY(std::memcmp(&doc.m_projectRecord, &zero, sizeof zero) == 0);
            QVERIFY(doc.m_strProjectName.empty());
        }
    }

    void leftoverNote_data()
    {
        QTest::addColumn<QStringList>("leftovers");
        QTest::newRow("nothing left") << QStringList{};
        QTest::newRow("a new text and a moved-aside file") << QStringList{"FNBTXT.NEW", "A0100005.OLD"};
    }

    // What an interrupted import left is named, a line each, and stays where it is.
    void leftoverNote()
    {
        QFETCH(QStringList, leftovers);
        DiskFolder disk(DiskOf({{1, "A", kRate44100, kWordLength16}}));
        for (const auto& name : leftovers)
            testsupport::WriteBytes(disk.File(name.toStdString()), {1});
        COVFtoWAVEDoc doc;
        doc.SetMoFolder(disk.Path());
        CSelectSongDlg dialog(doc, nullptr);
        dialog.show();
        auto* note = dialog.findChild<QLabel*>(QStringLiteral("leftoverNote"));
        QCOMPARE(note->isVisible(), !leftovers.isEmpty());
        const QStringList lines = note->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), leftovers.size());
        for (int i = 0; i < leftovers.size(); ++i) {
            QVERIFY2(lines[i].contains(leftovers[i]), qPrintable(note->text()));
            QCOMPARE(testsupport::ReadBytes(disk.File(leftovers[i].toStdString())), std::vector<std::uint8_t>{1});
        }
    }

    // An import's project that the recorder has not taken over follows the recorder's
    // lines; highlighted, it cannot be chosen and the dialog says why.
    void pendingProjectsFollowAndCannotBeChosen()
    {
        PendingDisk pending("SNGSERIAL: 01\nSONGTITLE: A\nSNGSERIAL: 02\nSONGTITLE: Back\nRECORDBIT: 2\nRECORDFSC: 3\n");
        CSelectSongDlg dialog(pending.doc, nullptr);
        dialog.show();
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("projectList"));
        QCOMPARE(Lines(*list), (QStringList{"01 : A", "02 : Back  (pending)"}));
        auto* select = dialog.findChild<QPushButton*>(QStringLiteral("selectButton"));
        auto* note = dialog.findChild<QLabel*>(QStringLiteral("pendingNote"));
        for (const int row : {1, 0}) {
            list->setCurrentRow(row);
            const bool pending = row == 1;
            QCOMPARE(select->isEnabled(), !pending);
            QCOMPARE(note->isVisible(), pending);
            QCOMPARE(Value(dialog, "projectNameValue"), pending ? QStringLiteral("Back") : QStringLiteral("A"));
            QCOMPARE(Value(dialog, "samplingRateValue"), pending ? QStringLiteral("48.0KHz") : QStringLiteral("44.1KHz"));
        }
    }

    // A double click selects, as "&Select" does; on a pending project it does nothing.
    void doubleClickSelects_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("selects");
        QTest::newRow("a recorder's project") << 0 << true;
        QTest::newRow("a pending project") << 1 << false;
    }

    void doubleClickSelects()
    {
        QFETCH(int, row);
        QFETCH(bool, selects);
        PendingDisk pending("SNGSERIAL: 02\nSONGTITLE: Back\n");
        CSelectSongDlg dialog(pending.doc, nullptr);
        dialog.show();
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("projectList"));
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(dialog.isVisible(), !selects);
        QCOMPARE(dialog.result(), selects ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(pending.doc.m_strProjectName, selects ? std::string("A") : std::string());
    }
};

QTEST_MAIN(SelectSongDlgTest)
#include "SelectSongDlgTest.moc"
