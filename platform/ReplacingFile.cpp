#include "platform/ReplacingFile.h"

#include "platform/Files.h"

#include <random>
#include <string_view>
#include <utility>

namespace platform {

namespace {

// ".Take11.wav.wavelorn-k3x9q0za": hidden, and never mistaken for an output name.
constexpr char kHiddenMark = '.';
constexpr std::string_view kTemporaryMark = ".wavelorn-";
constexpr std::string_view kRandomAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomLength = 8;
// Leaves room for the marks within the 255 bytes a name may have on common file systems.
constexpr std::size_t kMaxKeptNameBytes = 200;
// New random names tried while the chosen one is taken.
constexpr int kNameAttempts = 16;

// The first bytes of a UTF-8 name, at most `limit`, not cutting a character apart.
std::string Shortened(const std::string& name, std::size_t limit)
{
    constexpr unsigned char kContinuationMask = 0xC0;
    constexpr unsigned char kContinuationBits = 0x80;
    if (name.size() <= limit)
        return name;
    std::size_t size = limit;
    while (size > 0 && (static_cast<unsigned char>(name[size]) & kContinuationMask) == kContinuationBits)
        --size;
    return name.substr(0, size);
}

std::string RandomPart()
{
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, kRandomAlphabet.size() - 1);
    std::string part;
    for (std::size_t i = 0; i < kRandomLength; ++i)
        part += kRandomAlphabet[pick(random)];
    return part;
}

std::string TemporaryPath(const std::string& path)
{
    const std::string name = NamePart(path);
    return path.substr(0, path.size() - name.size()) + TemporaryNameFor(Shortened(name, kMaxKeptNameBytes));
}

class ReplacingFile : public OutputFile {
public:
    ReplacingFile(FileSystem& files, std::unique_ptr<OutputFile> file, std::string temporaryPath,
                  std::string finalPath, bool replaces)
        : m_files(files),
          m_file(std::move(file)),
          m_temporaryPath(std::move(temporaryPath)),
          m_finalPath(std::move(finalPath)),
          m_replaces(replaces)
    {
    }
    ~ReplacingFile() override { Discard(); }
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool Write(const void* data, std::size_t count) override { return m_file && m_file->Write(data, count); }
    bool Seek(std::uint64_t offset) override { return m_file && m_file->Seek(offset); }
    bool Flush() override { return m_file && m_file->Flush(); }

    bool Close() override
    {
        if (!m_file)
            return false;
        const bool closed = m_file->Close();
        m_file.reset();
        // Best effort: a file system without permission bits (FAT) refuses the change,
        // and has nothing to carry over.
        if (closed && m_replaces)
            m_files.CopyPermissions(m_finalPath, m_temporaryPath);
        if (closed && m_files.Rename(m_temporaryPath, m_finalPath)) {
            m_temporaryPath.clear();
            return true;
        }
        Discard();
        return false;
    }

private:
    // Closes the temporary, when still open, and removes it.
    void Discard()
    {
        m_file.reset();
        if (!m_temporaryPath.empty())
            m_files.Remove(m_temporaryPath);
        m_temporaryPath.clear();
    }

    FileSystem& m_files;
    std::unique_ptr<OutputFile> m_file;
    std::string m_temporaryPath;  // empty once renamed or removed
    std::string m_finalPath;
    bool m_replaces;
};

}  // namespace

std::unique_ptr<OutputFile> OpenReplacing(FileSystem& files, const std::string& path)
{
    const FileKind kind = files.KindOfEntry(path);
    if (kind != FileKind::None && kind != FileKind::Regular)
        return files.OpenWrite(path, WriteMode::Replace);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string temporaryPath = TemporaryPath(path);
        if (auto file = files.OpenWrite(temporaryPath, WriteMode::CreateNew))
            return std::make_unique<ReplacingFile>(files, std::move(file), std::move(temporaryPath), path,
                                                   kind == FileKind::Regular);
        // Only a taken name is worth another try; anything else would fail again.
        if (files.KindOfEntry(temporaryPath) == FileKind::None)
            return nullptr;
    }
    return nullptr;
}

std::string TemporaryNameFor(const std::string& name)
{
    std::string temporary(1, kHiddenMark);
    temporary.append(name).append(kTemporaryMark).append(RandomPart());
    return temporary;
}

bool IsTemporaryName(const std::string& name)
{
    return !name.empty() && name.front() == kHiddenMark && name.find(kTemporaryMark) != std::string::npos;
}

}  // namespace platform
