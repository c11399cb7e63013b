#include "tests/gui/GuiRig.h"

#include "recorder/TrackFile.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace guitest {

namespace {

constexpr std::uint32_t kWaveFormatSize = 16;
constexpr std::uint16_t kPcm = 1;
constexpr std::uint16_t kBits16 = 16;
constexpr std::uint16_t kBytes16 = 2;
constexpr std::size_t kChunkHeader = 8;
constexpr std::size_t kRiffHeader = 12;
constexpr std::size_t kAiffSoundDataPrefix = 8;

void Put(std::vector<std::uint8_t>& bytes, std::uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutText(std::vector<std::uint8_t>& bytes, const char* text)
{
    bytes.insert(bytes.end(), text, text + std::strlen(text));
}

std::uint32_t ChunkSize(const std::vector<std::uint8_t>& file, std::size_t at, bool bigEndian)
{
    std::uint32_t size = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t byte = at + 4 + static_cast<std::size_t>(bigEndian ? i : 3 - i);
        size = (size << 8) | file[byte];
    }
    return size;
}

}  // namespace

DiskFolder::DiskFolder(const diskwriter::Disk& disk)
{
    disk.Write(m_folder.Path());
}

GuiRig::GuiRig(const std::string& moFolder)
{
    doc.SetMoFolder(moFolder);
    frame = std::make_unique<CMainFrame>(doc, ui, settings, QCoreApplication::applicationDirPath().toStdString());
    frame->show();
    Activate();
}

void GuiRig::Click(const char* name) const
{
    QTest::mouseClick(Get<QAbstractButton>(name), Qt::LeftButton);
}

void GuiRig::Activate() const
{
    QApplication::setActiveWindow(frame.get());
    if (!QTest::qWaitForWindowActive(frame.get()))
        qFatal("the main window cannot be activated");
}

void GuiRig::ChooseProject(int row)
{
    OnNextModal([row](QDialog& dialog) {
        dialog.findChild<QListWidget*>(QStringLiteral("projectList"))->setCurrentRow(row);
        dialog.findChild<QPushButton*>(QStringLiteral("selectButton"))->click();
    });
    frame->View().OnSelectProject();
}

void OnNextModal(std::function<void(QDialog& dialog)> action, int pollMs)
{
    QTimer::singleShot(pollMs, [action, pollMs] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog)
            action(*dialog);
        else
            OnNextModal(action, pollMs);
    });
}

diskwriter::Disk DiskWith(const std::vector<TrackSamples>& tracks, const char* name)
{
    diskwriter::Disk disk;
    auto& project = disk.AddProject({.slot = 2, .number = 1, .name = name});
    std::uint16_t serial = 0;
    for (const auto& track : tracks) {
        project.AddSegment({.track = track.track,
                            .virtualTrack = track.virtualTrack,
                            .startGroup = 0,
                            .lengthGroups = static_cast<std::uint32_t>(track.samples.size() / kSamplesPerGroup),
                            .serial = serial++,
                            .samples = track.samples});
    }
    return disk;
}

std::vector<std::int32_t> Signal(std::size_t count, std::int32_t seed)
{
    constexpr std::int32_t kRange = 30000;
    std::vector<std::int32_t> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = static_cast<std::int32_t>((static_cast<std::int64_t>(i) * 7919 + seed) % kRange) + 1;
    return samples;
}

std::vector<std::uint8_t> WaveBytes(const std::vector<std::int32_t>& samples, std::uint32_t rate)
{
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * kBytes16);
    std::vector<std::uint8_t> bytes;
    PutText(bytes, "RIFF");
    Put(bytes, static_cast<std::uint32_t>(4 + kChunkHeader + kWaveFormatSize + kChunkHeader) + dataSize, 4);
    PutText(bytes, "WAVEfmt ");
    Put(bytes, kWaveFormatSize, 4);
    Put(bytes, kPcm, 2);
    Put(bytes, 1, 2);
    Put(bytes, rate, 4);
    Put(bytes, rate * kBytes16, 4);
    Put(bytes, kBytes16, 2);
    Put(bytes, kBits16, 2);
    PutText(bytes, "data");
    Put(bytes, dataSize, 4);
    for (const auto sample : samples)
        Put(bytes, static_cast<std::uint32_t>(sample), kBytes16);
    return bytes;
}

std::vector<std::uint8_t> SoundData(const std::vector<std::uint8_t>& file)
{
    if (file.size() < kRiffHeader)
        return {};
    const bool aiff = std::memcmp(file.data(), "FORM", 4) == 0;
    const char* wanted = aiff ? "SSND" : "data";
    for (std::size_t at = kRiffHeader; at + kChunkHeader <= file.size();) {
        const std::uint32_t size = ChunkSize(file, at, aiff);
        const std::size_t body = at + kChunkHeader;
        if (std::memcmp(file.data() + at, wanted, 4) == 0) {
            const std::size_t skip = aiff ? kAiffSoundDataPrefix : 0;
            const std::size_t end = std::min(file.size(), body + size);
            return std::vector<std::uint8_t>(file.begin() + static_cast<std::ptrdiff_t>(body + skip),
                                             file.begin() + static_cast<std::ptrdiff_t>(end));
        }
        at = body + size + (size & 1U);
    }
    return {};
}

QStringList Messages(const testsupport::ScriptedUserInterface& ui)
{
    QStringList texts;
    for (const auto& text : ui.Messages())
        texts << QString::fromStdString(text);
    return texts;
}

QStringList Details(const testsupport::ScriptedUserInterface& ui)
{
    QStringList texts;
    for (const auto& text : ui.Details())
        texts << QString::fromStdString(WithLineBreaks(text));
    return texts;
}

}  // namespace guitest
