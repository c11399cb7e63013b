#include "archive/ArchiveFiles.h"

#include "archive/ArchiveNames.h"
#include "platform/Files.h"
#include "platform/Sha256.h"
#include "recorder/TrackFile.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace archive {

namespace {

// The disk files are read in the recorder's own blocks.
constexpr std::size_t kCopyBlockBytes = kRecorderBlockSize;

enum class Piece { Read, Failed, Ended };

// Reads all `count` bytes at `position`: Failed when a read fails, Ended when the
// source ends first.
Piece ReadPiece(platform::ByteSource& source, std::uint64_t position, std::uint8_t* buffer, std::size_t count)
{
    for (std::size_t done = 0; done < count;) {
        const auto got = source.ReadAt(position + done, buffer + done, count - done);
        if (!got)
            return Piece::Failed;
        if (*got == 0)
            return Piece::Ended;
        done += *got;
    }
    return Piece::Read;
}

// ReadPiece, tried again after a pause while it fails, up to the tries allowed.
Piece ReadPieceTrying(platform::ByteSource& source, std::uint64_t position, std::uint8_t* buffer,
                      std::size_t count, const ReadRetries& retries)
{
    for (int attempt = 1;; ++attempt) {
        const Piece piece = ReadPiece(source, position, buffer, count);
        if (piece != Piece::Failed || attempt >= retries.tries)
            return piece;
        std::this_thread::sleep_for(retries.pause);
    }
}

void AddUnreadable(std::vector<UnreadableRange>& ranges, const UnreadableRange& range)
{
    if (!ranges.empty() && ranges.back().offset + ranges.back().length == range.offset &&
        ranges.back().tries == range.tries) {
        ranges.back().length += range.length;
        return;
    }
    ranges.push_back(range);
}

// Reads a block that failed all its tries once more, piece by piece, without a pause
// (a dead block costs one read per piece); the pieces that fail are zero and listed.
// Ended when the source ends within the block.
Piece ReadAroundDamage(platform::ByteSource& source, std::uint64_t position, std::uint8_t* buffer,
                       std::size_t count, const ReadRetries& retries, std::vector<UnreadableRange>& unreadable)
{
    for (std::size_t done = 0; done < count; done += kRescuePieceBytes) {
        const std::size_t length = std::min(kRescuePieceBytes, count - done);
        const Piece piece = ReadPiece(source, position + done, buffer + done, length);
        if (piece == Piece::Ended)
            return piece;
        if (piece == Piece::Failed) {
            std::fill_n(buffer + done, length, std::uint8_t{0});
            AddUnreadable(unreadable, {position + done, length, retries.tries + 1});
        }
    }
    return Piece::Read;
}

// Reads all of `source` in blocks around damage and hands each block to `take`:
// WriteFailed when it refuses one, SourceUnreadable when the source ends early.
CopyResult ReadBlocks(platform::ByteSource& source, const ReadRetries& retries,
                      const std::function<bool(const std::uint8_t* data, std::size_t count)>& take)
{
    using Status = CopyResult::Status;
    CopyResult result;
    platform::Sha256 digest;
    std::vector<std::uint8_t> block(kCopyBlockBytes);
    while (result.size < source.Size()) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), source.Size() - result.size));
        Piece piece = ReadPieceTrying(source, result.size, block.data(), count, retries);
        if (piece == Piece::Failed)
            piece = ReadAroundDamage(source, result.size, block.data(), count, retries, result.unreadable);
        if (piece == Piece::Ended)
            return CopyResult{Status::SourceUnreadable, 0, {}, {}};
        digest.Update(block.data(), count);
        if (!take(block.data(), count))
            return CopyResult{Status::WriteFailed, 0, {}, {}};
        result.size += count;
    }
    result.sha256 = digest.HexDigest();
    return result;
}

}  // namespace

CopyResult CopyFile(platform::FileSystem& files, const std::string& from, const std::string& to,
                    const ByteProgress& progress, const ReadRetries& retries)
{
    using Status = CopyResult::Status;
    const auto failed = [](Status status) { return CopyResult{status, 0, {}, {}}; };
    const auto source = files.OpenRead(from);
    if (!source)
        return failed(Status::SourceUnreadable);
    TemporaryFile copy(files, to);
    if (!copy.File())
        return failed(Status::WriteFailed);
    std::uint64_t written = 0;
    const CopyResult result = ReadBlocks(*source, retries, [&](const std::uint8_t* data, std::size_t count) {
        if (!copy.File()->Write(data, count))
            return false;
        written += count;
        progress(written);
        return true;
    });
    if (result.status != Status::Copied)
        return result;
    return copy.Commit() ? result : failed(Status::WriteFailed);
}

CopyResult ReadDiskFile(platform::FileSystem& files, const std::string& path, const ReadRetries& retries)
{
    const auto source = files.OpenRead(path);
    if (!source)
        return CopyResult{CopyResult::Status::SourceUnreadable, 0, {}, {}};
    return ReadBlocks(*source, retries, [](const std::uint8_t*, std::size_t) { return true; });
}

void RemoveTemporaries(platform::FileSystem& files, const std::string& folder)
{
    for (const auto& entry : files.ListFolder(folder).value_or(std::vector<platform::FolderEntry>{})) {
        if (entry.kind == platform::FileKind::Regular && IsTemporaryName(entry.name))
            files.Remove(platform::JoinPath(folder, entry.name));
    }
}

}  // namespace archive
