#include "archive/ArchiveFiles.h"

#include "archive/ArchiveNames.h"
#include "platform/Files.h"
#include "platform/Sha256.h"

#include <vector>

namespace archive {

namespace {

constexpr std::size_t kCopyBlockBytes = std::size_t{1} << 20;

}  // namespace

TemporaryFile::TemporaryFile(platform::FileSystem& files, std::string path)
    : m_files(files),
      m_path(std::move(path)),
      m_temporary(platform::JoinPath(platform::FolderPart(m_path), TemporaryNameFor(platform::NamePart(m_path))))
{
    // The random part keeps the name apart from every other file.
    m_file = m_files.OpenWrite(m_temporary, platform::WriteMode::Replace);
}

TemporaryFile::~TemporaryFile()
{
    m_file.reset();
    if (!m_committed)
        m_files.Remove(m_temporary);
}

bool TemporaryFile::Commit()
{
    if (m_file) {
        const bool closed = m_file->Close();
        m_file.reset();
        if (!closed)
            return false;
    }
    m_committed = MoveIntoPlace(m_files, m_temporary, m_path);
    return m_committed;
}

bool MoveIntoPlace(platform::FileSystem& files, const std::string& from, const std::string& to)
{
    if (files.Rename(from, to))
        return true;
    files.Remove(from);
    return false;
}

bool WriteWholeFile(platform::FileSystem& files, const std::string& path, const std::string& bytes)
{
    TemporaryFile file(files, path);
    return file.File() && file.File()->Write(bytes.data(), bytes.size()) && file.Commit();
}

std::optional<std::string> ReadWholeFile(platform::FileSystem& files, const std::string& path)
{
    const auto source = files.OpenRead(path);
    if (!source)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(source->Size()), '\0');
    if (!source->ReadExactly(0, bytes.data(), bytes.size()))
        return std::nullopt;
    return bytes;
}

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
