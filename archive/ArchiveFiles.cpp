#include "archive/ArchiveFiles.h"

#include "archive/ArchiveNames.h"
#include "platform/Files.h"
#include "platform/Sha256.h"

#include <vector>

namespace archive {

namespace {

constexpr std::size_t kCopyBlockBytes = std::size_t{1} << 20;

}  // namespace

CopyResult CopyFile(platform::FileSystem& files, const std::string& from, const std::string& to,
                    const ByteProgress& progress)
{
    using Status = CopyResult::Status;
    const auto failed = [](Status status) { return CopyResult{status, 0, {}}; };
    CopyResult result;
    const auto source = files.OpenRead(from);
    if (!source)
        return failed(Status::SourceUnreadable);
    TemporaryFile copy(files, to);
    if (!copy.File())
        return failed(Status::WriteFailed);
    platform::Sha256 digest;
    std::vector<std::uint8_t> block(kCopyBlockBytes);
    while (result.size < source->Size()) {
        const auto got = source->ReadAt(result.size, block.data(), block.size());
        if (!got || *got == 0)
            return failed(Status::SourceUnreadable);
        digest.Update(block.data(), *got);
        if (!copy.File()->Write(block.data(), *got))
            return failed(Status::WriteFailed);
        result.size += *got;
        progress(result.size);
    }
    if (!copy.Commit())
        return failed(Status::WriteFailed);
    result.sha256 = digest.HexDigest();
    return result;
}

void RemoveTemporaries(platform::FileSystem& files, const std::string& folder)
{
    for (const auto& entry : files.ListFolder(folder).value_or(std::vector<platform::FolderEntry>{})) {
        if (entry.kind == platform::FileKind::Regular && IsTemporaryName(entry.name))
            files.Remove(platform::JoinPath(folder, entry.name));
    }
}

}  // namespace archive
