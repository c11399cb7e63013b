#include "import/ImportChecks.h"

#include "app/Document.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/UserInterface.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::uint8_t kTrack1 = 0;

}  // namespace

CImportChecks::CImportChecks(CImportPage& page, platform::UserInterface& ui, std::string baseFolder)
    : m_page(page), m_ui(ui), m_baseFolder(std::move(baseFolder))
{
}

std::string CImportChecks::JoinToBase(const std::string& name) const
{
    return platform::FolderPart(name).empty() ? platform::JoinPath(m_baseFolder, name) : name;
}

std::optional<std::string> CImportChecks::FindSource(const std::string& name) const
{
    return platform::FindFile(JoinToBase(name));
}

std::string CImportChecks::ResolvePath(const std::string& name) const
{
    return FindSource(name).value_or(JoinToBase(name));
}

bool CImportChecks::Fail(MessageId message)
{
    m_ui.ShowError(message);
    return false;
}

bool CImportChecks::RefuseName(std::uint8_t trackIndex, std::optional<MessageId> message)
{
    if (message)
        m_ui.ShowError(*message);
    if (trackIndex == kTrack1) {
        m_page.ShowFormat(false);
        m_page.EnableInputs(false);
    }
    return false;
}

bool CImportChecks::MatchesTrack1(const CPCSoundFile& reader)
{
    const CPCSoundFile* track1 = m_page.GetTrackSlot(kTrack1).GetReader();
    // Without a Track 1 format there is nothing to compare with; Convert refuses
    // that state with its own message.
    return track1 == nullptr ||
           (reader.GetSampleRate() == track1->GetSampleRate() &&
            reader.GetBitsPerSample() == track1->GetBitsPerSample());
}

bool CImportChecks::CheckFileName(std::uint8_t trackIndex, const std::string& name)
{
    const auto found = FindSource(name);
    if (!found)
        return RefuseName(trackIndex, MessageId::FileNotFound);
    const std::string& path = *found;
    COrvoTrack& slot = m_page.GetTrackSlot(trackIndex);
    if (!slot.SelectReader(path))
        return RefuseName(trackIndex, MessageId::FormatUnknown);
    if (!slot.ReadSourceHeader(path)) {
        // A WAVE reader has shown its own message already: one message per refusal.
        const bool readerShowedMessage = SoundFileKindOf(path) == SoundFileKind::Wave;
        return RefuseName(trackIndex, readerShowedMessage ? std::nullopt : std::optional(MessageId::FormatUnknown));
    }
    if (trackIndex != kTrack1 && !MatchesTrack1(*slot.GetReader()))
        return RefuseName(trackIndex, MessageId::DifferentFormat);
    if (trackIndex == kTrack1) {
        m_page.EnableInputs(true);
        m_page.ShowFormat(true);
    }
    return true;
}

bool CImportChecks::Validate(const ImportInputs& inputs, COVFtoWAVEDoc& doc)
{
    doc.SetNewProjectName(inputs.projectName);
    std::uint64_t totalBytes = 0;
    for (std::uint8_t index = 0; index < kTrackCount; ++index) {
        const std::string& name = inputs.trackNames[index];
        COrvoTrack& slot = m_page.GetTrackSlot(index);
        if (name.empty()) {
            if (index == kTrack1)
                return Fail(MessageId::Track1NameWrong);
            slot.Reset();
            continue;
        }
        const std::string path = ResolvePath(name);
        if (!slot.SelectReader(path)) {
            if (index == kTrack1)
                return Fail(MessageId::Track1NameWrong);
            continue;  // a track with another extension is left out without a message
        }
        // A refused header: the WAVE reader has shown its message, the AIFF reader none.
        if (!slot.ReadSourceHeader(path))
            return false;
        if (index != kTrack1 && !MatchesTrack1(*slot.GetReader()))
            return Fail(MessageId::DifferentFormat);
        slot.SetSourcePath(path);
        totalBytes += slot.GetReader()->GetFileLength();
    }
    if (!doc.HasRoomFor(totalBytes))
        return Fail(MessageId::NoDiskSpace);
    return true;
}
