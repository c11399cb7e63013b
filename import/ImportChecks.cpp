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

// The reader's refusal of a header, told of the name as it was given; as a file of
// unknown format for a kind that does not show its reader's refusal.
Refusal HeaderRefusal(const COrvoTrack& slot, Refusal refusal, const std::string& name)
{
    refusal.subject = name;
    if (!ShowsRefusal(slot.GetReader()->GetKind()))
        refusal.id = MessageId::FormatUnknown;
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

ImportRefusal CImportChecks::Shown(std::optional<std::uint8_t> track, Refusal refusal)
{
    ShowRefusal(m_ui, refusal);
    return ImportRefusal{std::move(refusal), track, true};
}

ImportRefusal CImportChecks::Stopped(std::uint8_t trackIndex, Refusal refusal, const std::string& name)
{
    refusal.subject = name;
    return ImportRefusal{std::move(refusal), trackIndex, true};
}

ImportRefusal CImportChecks::RefuseName(std::uint8_t trackIndex, Refusal refusal)
{
    ImportRefusal refused = Shown(trackIndex, std::move(refusal));
    if (trackIndex == kTrack1) {
        m_page.ShowFormat(false);
        m_page.EnableInputs(false);
    }
    return refused;
}

std::optional<std::string> CImportChecks::DifferenceFromReference(const CPCSoundFile& reader)
{
    const CPCSoundFile* first = m_page.GetTrackSlot(m_reference).GetReader();
    // Without a reference format there is nothing to compare with; Convert refuses
    // that state with its own message.
    if (first == nullptr || &reader == first ||
        (reader.GetSampleRate() == first->GetSampleRate() && reader.GetBitsPerSample() == first->GetBitsPerSample()))
        return std::nullopt;
    return FormatText(reader) + ", Track " + std::to_string(m_reference + 1) + " is " + FormatText(*first);
}

std::optional<Refusal> CImportChecks::ReadHeader(COrvoTrack& slot, const std::string& path)
{
    return slot.ReadSourceHeader(path, [this] { return m_ui.StopRequested(); });
}

std::optional<ImportRefusal> CImportChecks::CheckFileName(std::uint8_t trackIndex, const std::string& name)
{
    const auto found = FindSource(name);
    if (!found)
        return RefuseName(trackIndex, {MessageId::FileNotFound, Reason::FileNotFound, name, {}});
    const std::string& path = *found;
    COrvoTrack& slot = m_page.GetTrackSlot(trackIndex);
    if (!slot.SelectReader(path))
        return RefuseName(trackIndex, {MessageId::FormatUnknown, Reason::UnknownExtension, name, {}});
    if (auto refusal = ReadHeader(slot, path)) {
        if (refusal->reason == Reason::Interrupted)
            return Stopped(trackIndex, std::move(*refusal), name);
        return RefuseName(trackIndex, HeaderRefusal(slot, std::move(*refusal), name));
    }
    if (trackIndex != kTrack1) {
        if (auto difference = DifferenceFromReference(*slot.GetReader()))
            return RefuseName(trackIndex, {MessageId::DifferentFormat, Reason::FormatMismatch, name, *difference});
    }
    if (trackIndex == kTrack1) {
        m_page.EnableInputs(true);
        m_page.ShowFormat(true);
    }
    return std::nullopt;
}

std::optional<ImportRefusal> CImportChecks::CheckTrack(std::uint8_t trackIndex, const std::string& name,
                                                       bool anyTrack, std::uint64_t& totalBytes)
{
    COrvoTrack& slot = m_page.GetTrackSlot(trackIndex);
    if (name.empty()) {
        if (trackIndex == m_reference && !anyTrack)
            return Shown(trackIndex, {MessageId::Track1NameWrong, Reason::Track1Missing, kTrack1Subject, {}});
        slot.Reset();
        // The next named track is the one the others must match.
        if (trackIndex == m_reference)
            ++m_reference;
        return std::nullopt;
    }
    const std::string path = ResolvePath(name);
    if (!slot.SelectReader(path)) {
        const MessageId id = trackIndex == kTrack1 ? MessageId::Track1NameWrong : MessageId::FormatUnknown;
        return Shown(trackIndex, {id, Reason::UnknownExtension, name, {}});
    }
    if (auto refusal = ReadHeader(slot, path)) {
        if (refusal->reason == Reason::Interrupted)
            return Stopped(trackIndex, std::move(*refusal), name);
        Refusal told = HeaderRefusal(slot, std::move(*refusal), name);
        if (ShowsRefusal(slot.GetReader()->GetKind()))
            return Shown(trackIndex, std::move(told));
        return ImportRefusal{std::move(told), trackIndex, false};
    }
    if (trackIndex != m_reference) {
        if (auto difference = DifferenceFromReference(*slot.GetReader()))
            return Shown(trackIndex, {MessageId::DifferentFormat, Reason::FormatMismatch, name, *difference});
    }
    slot.SetSourcePath(path);
    totalBytes += slot.GetReader()->GetFileLength();
    return std::nullopt;
}

std::optional<ImportRefusal> CImportChecks::CheckRoom(COVFtoWAVEDoc& doc, std::uint64_t totalBytes)
{
    const bool measured = doc.UpdateFreeSpace(m_files);
    if (doc.HasRoomFor(totalBytes))
        return std::nullopt;
    const std::string detail = measured ? std::to_string(totalBytes) + " bytes and a reserve of " +
                                              std::to_string(kFreeSpaceReserve) + " needed, " +
                                              std::to_string(doc.m_freeBytes) + " free"
                                        : "the free space cannot be measured";
    return Shown(std::nullopt, {MessageId::NoDiskSpace, Reason::NoDiskSpace, doc.m_strMoFolder, detail});
}

std::optional<ImportRefusal> CImportChecks::Validate(const ImportInputs& inputs, COVFtoWAVEDoc& doc)
{
    doc.SetNewProjectName(inputs.projectName);
    std::uint64_t totalBytes = 0;
    m_reference = kTrack1;
    std::optional<ImportRefusal> refused;
    for (std::uint8_t index = 0; index < kTrackCount && !refused; ++index)
        refused = CheckTrack(index, inputs.trackNames[index], inputs.anyTrack, totalBytes);
    // The checks of single names compare with Track 1 again.
    m_reference = kTrack1;
    return refused ? refused : CheckRoom(doc, totalBytes);
}
