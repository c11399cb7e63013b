#include "platform/ReplacingFile.h"

#include <utility>

namespace platform {

namespace {

class ReplacingFile : public OutputFile {
public:
    ReplacingFile(FileSystem& files, std::unique_ptr<TemporaryFile> temporary, std::string finalPath, bool replaces)
        : m_files(files), m_temporary(std::move(temporary)), m_finalPath(std::move(finalPath)), m_replaces(replaces)
    {
    }

    bool Write(const void* data, std::size_t count) override { return Held() && Held()->Write(data, count); }
    bool Seek(std::uint64_t offset) override { return Held() && Held()->Seek(offset); }
    bool Flush() override { return Held() && Held()->Flush(); }
    bool Sync() override { return Held() && Held()->Sync(); }

    bool Close() override
    {
        if (!Held())
            return false;
        // Closed here, so synced here: the commit syncs only a file it still holds.
        const bool synced = Held()->Sync();
        if (!m_temporary->Close() || !synced) {
            m_temporary.reset();
            return false;
        }
        // Best effort: a file system without permission bits (FAT) refuses the change,
        // and has nothing to carry over.
        if (m_replaces)
            m_files.CopyPermissions(m_finalPath, m_temporary->TemporaryPath());
        return m_temporary->Commit();
    }

private:
    OutputFile* Held() const { return m_temporary ? m_temporary->File().get() : nullptr; }

    FileSystem& m_files;
    std::unique_ptr<TemporaryFile> m_temporary;
    std::string m_finalPath;
    bool m_replaces;
};

// A link, device or pipe written in place: its Close syncs what the system can put on
// a device (a pipe or a terminal has none, and counts as synced).
class InPlaceFile : public OutputFile {
public:
    explicit InPlaceFile(std::unique_ptr<OutputFile> file) : m_file(std::move(file)) {}

    bool Write(const void* data, std::size_t count) override { return m_file->Write(data, count); }
    bool Seek(std::uint64_t offset) override { return m_file->Seek(offset); }
    bool Flush() override { return m_file->Flush(); }
    bool Sync() override { return m_file->Sync(); }
    bool Close() override
    {
        const bool synced = m_file->Sync();
        return m_file->Close() && synced;
    }

private:
    std::unique_ptr<OutputFile> m_file;
};

}  // namespace

std::unique_ptr<OutputFile> OpenReplacing(FileSystem& files, const std::string& path)
{
    const FileKind kind = files.KindOfEntry(path);
    if (kind != FileKind::None && kind != FileKind::Regular) {
        auto file = files.OpenWrite(path, WriteMode::Replace);
        return file ? std::make_unique<InPlaceFile>(std::move(file)) : nullptr;
    }
    auto temporary = std::make_unique<TemporaryFile>(files, path);
    if (!temporary->File())
        return nullptr;
    return std::make_unique<ReplacingFile>(files, std::move(temporary), path, kind == FileKind::Regular);
}

bool WriteWholeFile(FileSystem& files, const std::string& path, std::string_view bytes)
{
    // A file given up before its Close is removed: a failed write leaves `path` as it was.
    const auto file = OpenReplacing(files, path);
    return file && file->Write(bytes.data(), bytes.size()) && file->Close();
}

std::optional<std::string> ReadWholeFile(FileSystem& files, const std::string& path, std::uint64_t maxBytes)
{
    const auto source = files.OpenRead(path);
    if (!source || source->Size() > maxBytes)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(source->Size()), '\0');
    if (!source->ReadExactly(0, bytes.data(), bytes.size()))
        return std::nullopt;
    return bytes;
}

}  // namespace platform
