#include "import/ImportChecks.h"

#include "app/Document.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/UserInterface.h"

#include <string>
#include <utility>

namespace {

constexpr std::uint8_t kTrack1 = 0;
constexpr const char* kTrack1Subject = "Track 1";

// "48000 Hz 24 bit".
std::string FormatText(const CPCSoundFile& reader)
{
    return std::to_string(reader.GetSampleRate()) + " Hz " + std::to_string(reader.GetBitsPerSample()) + " bit";
}

// The reader's refusal of a header, told of the name as it was given.
Refusal HeaderRefusal(const COrvoTrack& slot, const std::string& name)
{
    Refusal refusal = slot.GetReader()->GetRefusal();
    refusal.subject = name;
    return refusal;
}

}  // namespace

CImportChecks::CImportChecks(CImportPage& page, platform::UserInterface& ui, std::string baseFolder,
                             platform::FileSystem& files)
    : m_page(page), m_ui(ui), m_baseFolder(std::move(baseFolder)), m_files(files)
{
}

std::string CImportChecks::JoinToBase(const std::string& name) const
{
    return platform::FolderPart(name).empty() ? platform::JoinPath(m_baseFolder, name) : name;
}

std::optional<std::string> CImportChecks::FindSource(const std::string& name) const
{
    return platform::FindFile(m_files, JoinToBase(name));
}

std::string CImportChecks::ResolvePath(const std::string& name) const
{
    return FindSource(name).value_or(JoinToBase(name));
}

bool CImportChecks::Keep(std::optional<std::uint8_t> track, Refusal refusal, bool shown)
{
    m_refusal = std::move(refusal);
    m_refusedTrack = track;
    m_refusalShown = shown;
    return false;
}

bool CImportChecks::Fail(std::optional<std::uint8_t> track, Refusal refusal)
{
    m_ui.ShowError(refusal.id);
    return Keep(track, std::move(refusal), true);
}

bool CImportChecks::RefuseName(std::uint8_t trackIndex, Refusal refusal, bool show)
{
    if (show)
        m_ui.ShowError(refusal.id);
    if (trackIndex == kTrack1) {
        m_page.ShowFormat(false);
        m_page.EnableInputs(false);
    }
    // Shown either way: by this check, or by the reader when `show` is false.
    return Keep(trackIndex, std::move(refusal), true);
}

std::optional<std::string> CImportChecks::DifferenceFromTrack1(const CPCSoundFile& reader)
{
    const CPCSoundFile* track1 = m_page.GetTrackSlot(kTrack1).GetReader();
    // Without a Track 1 format there is nothing to compare with; Convert refuses
    // that state with its own message.
    if (track1 == nullptr || (reader.GetSampleRate() == track1->GetSampleRate() &&
                              reader.GetBitsPerSample() == track1->GetBitsPerSample()))
        return std::nullopt;
    return FormatText(reader) + ", Track 1 is " + FormatText(*track1);
}

bool CImportChecks::CheckFileName(std::uint8_t trackIndex, const std::string& name)
{
    const auto found = FindSource(name);
    if (!found)
        return RefuseName(trackIndex, {MessageId::FileNotFound, Reason::FileNotFound, name, {}}, true);
    const std::string& path = *found;
    COrvoTrack& slot = m_page.GetTrackSlot(trackIndex);
    if (!slot.SelectReader(path))
        return RefuseName(trackIndex, {MessageId::FormatUnknown, Reason::UnknownExtension, name, {}}, true);
    if (!slot.ReadSourceHeader(path)) {
        // A reader that shows its own message has done so already: one message per refusal.
        const bool readerShowedMessage = slot.GetReader()->ShowsRefusals();
        Refusal refusal = HeaderRefusal(slot, name);
        if (!readerShowedMessage)
            refusal.id = MessageId::FormatUnknown;
        return RefuseName(trackIndex, std::move(refusal), !readerShowedMessage);
    }
    if (trackIndex != kTrack1) {
        if (auto difference = DifferenceFromTrack1(*slot.GetReader())) {
            return RefuseName(trackIndex, {MessageId::DifferentFormat, Reason::FormatMismatch, name, *difference},
                              true);
        }
    }
    if (trackIndex == kTrack1) {
        m_page.EnableInputs(true);
        m_page.ShowFormat(true);
    }
    return true;
}

bool CImportChecks::CheckTrack(std::uint8_t trackIndex, const std::string& name, std::uint64_t& totalBytes)
{
    COrvoTrack& slot = m_page.GetTrackSlot(trackIndex);
    if (name.empty()) {
        if (trackIndex == kTrack1)
            return Fail(trackIndex, {MessageId::Track1NameWrong, Reason::Track1Missing, kTrack1Subject, {}});
        slot.Reset();
        return true;
    }
    const std::string path = ResolvePath(name);
    if (!slot.SelectReader(path)) {
        if (trackIndex == kTrack1)
            return Fail(trackIndex, {MessageId::Track1NameWrong, Reason::UnknownExtension, name, {}});
        return true;  // a track with another extension is left out without a message
    }
    // A refused header: some readers show their message, the others show nothing.
    if (!slot.ReadSourceHeader(path))
        return Keep(trackIndex, HeaderRefusal(slot, name), slot.GetReader()->ShowsRefusals());
    if (trackIndex != kTrack1) {
        if (auto difference = DifferenceFromTrack1(*slot.GetReader()))
            return Fail(trackIndex, {MessageId::DifferentFormat, Reason::FormatMismatch, name, *difference});
    }
    slot.SetSourcePath(path);
    totalBytes += slot.GetReader()->GetFileLength();
    return true;
}

bool CImportChecks::CheckRoom(COVFtoWAVEDoc& doc, std::uint64_t totalBytes)
{
    const bool measured = doc.UpdateFreeSpace(m_files);
    if (doc.HasRoomFor(totalBytes))
        return true;
    const std::string detail = measured ? std::to_string(totalBytes) + " bytes and a reserve of " +
                                              std::to_string(kFreeSpaceReserve) + " needed, " +
                                              std::to_string(doc.m_freeBytes) + " free"
                                        : "the free space cannot be measured";
    return Fail(std::nullopt, {MessageId::NoDiskSpace, Reason::NoDiskSpace, doc.m_strMoFolder, detail});
}

bool CImportChecks::Validate(const ImportInputs& inputs, COVFtoWAVEDoc& doc)
{
    doc.SetNewProjectName(inputs.projectName);
    std::uint64_t totalBytes = 0;
    for (std::uint8_t index = 0; index < kTrackCount; ++index) {
        if (!CheckTrack(index, inputs.trackNames[index], totalBytes))
            return false;
    }
    return CheckRoom(doc, totalBytes);
}
