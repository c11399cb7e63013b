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

CopyResult Failed(CopyResult::Status status)
{
    CopyResult result;
    result.status = status;
    return result;
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

// Reads the disk's file around damage, counting what it costs.
class DiskReader {
public:
    DiskReader(platform::ByteSource& source, const ReadRetries& retries, CopyResult& result)
        : m_source(source), m_retries(retries), m_result(result)
    {
    }

    // Reads `count` bytes at `position`, which `triesBefore` failed reads of earlier
    // runs could not get: tried again after a pause while it fails, then piece by piece
    // without a pause (a dead block costs one read per piece). Pieces that fail are
    // zero and listed. Ended when the source ends first.
    Piece Read(std::uint64_t position, std::uint8_t* buffer, std::size_t count, int triesBefore)
    {
        for (int attempt = 1;; ++attempt) {
            const Piece piece = Counted(position, buffer, count);
            if (piece != Piece::Failed)
                return piece;
            if (attempt >= m_retries.tries)
                break;
            std::this_thread::sleep_for(m_retries.pause);
        }
        for (std::size_t done = 0; done < count; done += kRescuePieceBytes) {
            const std::size_t length = std::min(kRescuePieceBytes, count - done);
            const Piece piece = Counted(position + done, buffer + done, length);
            if (piece == Piece::Ended)
                return piece;
            if (piece == Piece::Failed) {
                std::fill_n(buffer + done, length, std::uint8_t{0});
                AddUnreadable(m_result.unreadable, {position + done, length, triesBefore + m_retries.tries + 1});
                m_result.counts.unreadable += length;
            }
        }
        return Piece::Read;
    }

private:
    Piece Counted(std::uint64_t position, std::uint8_t* buffer, std::size_t count)
    {
        const Piece piece = ReadPiece(m_source, position, buffer, count);
        if (piece == Piece::Failed)
            ++m_result.counts.failedReads;
        else if (piece == Piece::Read)
            m_result.counts.read += count;
        return piece;
    }

    platform::ByteSource& m_source;
    const ReadRetries& m_retries;
    CopyResult& m_result;
};

// Where the bytes of a copy come from: the earlier copy (zeros for a fresh one) with
// its holes read from the disk.
struct CopySources {
    platform::ByteSource& disk;
    platform::ByteSource* earlier = nullptr;
    std::vector<UnreadableRange> holes;  // in offset order
    std::size_t nextHole = 0;            // the first hole that does not end before the block being filled
};

// Fills one block at `position` from `sources`; once stopped, the holes stay as they
// are. Ended when the disk's file or the earlier copy ends first; EarlierFailed when
// the earlier copy cannot be read.
enum class BlockFill { Filled, Ended, EarlierFailed };

BlockFill FillBlock(CopySources& sources, DiskReader& reader, std::uint64_t position, std::uint8_t* block,
                    std::size_t count, bool stopped, CopyResult& result)
{
    if (!sources.earlier)
        std::fill_n(block, count, std::uint8_t{0});
    else if (const Piece piece = ReadPiece(*sources.earlier, position, block, count); piece != Piece::Read)
        return piece == Piece::Ended ? BlockFill::Ended : BlockFill::EarlierFailed;
    // The blocks come in order: holes that ended before this one are never looked at again.
    auto& holes = sources.holes;
    while (sources.nextHole < holes.size() && holes[sources.nextHole].offset + holes[sources.nextHole].length <= position)
        ++sources.nextHole;
    for (std::size_t h = sources.nextHole; h < holes.size() && holes[h].offset < position + count; ++h) {
        const UnreadableRange& hole = holes[h];
        const std::uint64_t from = std::max(hole.offset, position);
        const std::uint64_t to = std::min(hole.offset + hole.length, position + count);
        const auto length = static_cast<std::size_t>(to - from);
        if (stopped) {
            AddUnreadable(result.unreadable, {from, to - from, hole.tries});
            result.counts.unreadable += length;
        } else if (reader.Read(from, block + (from - position), length, hole.tries) == Piece::Ended) {
            return BlockFill::Ended;
        }
    }
    return BlockFill::Filled;
}

// Makes all of the copy from `sources` in blocks and hands each block to `take`:
// WriteFailed when it refuses one, SourceUnreadable when the disk's file ends early.
CopyResult ReadBlocks(CopySources& sources, const CopyRequest& request,
                      const std::function<bool(const std::uint8_t* data, std::size_t count)>& take)
{
    using Status = CopyResult::Status;
    CopyResult result;
    DiskReader reader(sources.disk, request.retries, result);
    platform::Sha256 digest;
    std::vector<std::uint8_t> block(kCopyBlockBytes);
    const std::uint64_t size = sources.disk.Size();
    while (result.size < size) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - result.size));
        result.stopped = result.stopped || (request.stop && request.stop());
        const BlockFill fill = FillBlock(sources, reader, result.size, block.data(), count, result.stopped, result);
        if (fill != BlockFill::Filled)
            return Failed(fill == BlockFill::Ended ? Status::SourceUnreadable : Status::EarlierCopyUnreadable);
        digest.Update(block.data(), count);
        if (!take(block.data(), count))
            return Failed(Status::WriteFailed);
        result.size += count;
        result.counts.done = result.size;
        if (request.progress)
            request.progress(result.counts);
    }
    result.sha256 = digest.HexDigest();
    return result;
}

// The holes of a fresh copy: all of the file, never tried.
std::vector<UnreadableRange> WholeFile(std::uint64_t size)
{
    return size == 0 ? std::vector<UnreadableRange>{} : std::vector<UnreadableRange>{{0, size, 0}};
}

}  // namespace

ReadCounts& ReadCounts::operator+=(const ReadCounts& other)
{
    done += other.done;
    read += other.read;
    unreadable += other.unreadable;
    failedReads += other.failedReads;
    return *this;
}

CopyResult CopyFile(platform::FileSystem& files, const CopyRequest& request)
{
    using Status = CopyResult::Status;
    const auto source = files.OpenRead(request.from);
    if (!source)
        return Failed(Status::SourceUnreadable);
    std::unique_ptr<platform::ByteSource> earlier;
    if (request.holes) {
        earlier = files.OpenRead(request.to);
        if (!earlier || earlier->Size() != source->Size())
            return Failed(Status::EarlierCopyUnreadable);
    }
    CopySources sources{*source, earlier.get(), request.holes ? *request.holes : WholeFile(source->Size())};
    TemporaryFile copy(files, request.to);
    if (!copy.File())
        return Failed(Status::WriteFailed);
    const CopyResult result = ReadBlocks(sources, request, [&](const std::uint8_t* data, std::size_t count) {
        return copy.File()->Write(data, count);
    });
    earlier.reset();
    if (result.status != Status::Copied)
        return result;
    return copy.Commit() ? result : Failed(Status::WriteFailed);
}

CopyResult ReadDiskFile(platform::FileSystem& files, const std::string& path, const ReadRetries& retries)
{
    const auto source = files.OpenRead(path);
    if (!source)
        return Failed(CopyResult::Status::SourceUnreadable);
    CopySources sources{*source, nullptr, WholeFile(source->Size())};
    CopyRequest request;
    request.retries = retries;
    return ReadBlocks(sources, request, [](const std::uint8_t*, std::size_t) { return true; });
}

void RemoveTemporaries(platform::FileSystem& files, const std::string& folder)
{
    for (const auto& entry : files.ListFolder(folder).value_or(std::vector<platform::FolderEntry>{})) {
        if (entry.kind == platform::FileKind::Regular && IsTemporaryName(entry.name))
            files.Remove(platform::JoinPath(folder, entry.name));
    }
}

}  // namespace archive
