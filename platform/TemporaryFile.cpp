#include "platform/TemporaryFile.h"

#include "platform/Files.h"

#include <algorithm>
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
constexpr std::string_view kScratchFolderPrefix = "wavelorn-";

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

std::string TemporaryPathFor(const std::string& path, TemporaryNaming naming)
{
    const std::string name = Shortened(NamePart(path), kMaxKeptNameBytes);
    const std::string folder = path.substr(0, path.size() - NamePart(path).size());
    if (naming == TemporaryNaming::Hidden)
        return folder + TemporaryNameFor(name);
    const std::size_t dot = std::min(name.rfind('.'), name.size());
    return folder + name.substr(0, dot) + "-" + RandomPart() + name.substr(dot);
}

}  // namespace

ScratchFolder::ScratchFolder(FileSystem& files) : m_files(files)
{
    const std::string parent = files.TemporaryFolder();
    if (parent.empty())
        return;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string path = JoinPath(parent, std::string(kScratchFolderPrefix) + RandomPart());
        if (files.CreatePrivateFolder(path)) {
            m_path = std::move(path);
            return;
        }
        if (files.KindOfEntry(path) == FileKind::None)
            return;
    }
}

ScratchFolder::~ScratchFolder()
{
    Remove();
}

bool ScratchFolder::Remove()
{
    if (m_path.empty())
        return true;
    bool removed = true;
    for (const auto& entry : m_files.ListFolder(m_path).value_or(std::vector<FolderEntry>()))
        removed = m_files.Remove(JoinPath(m_path, entry.name)) && removed;
    if (!removed || !m_files.Remove(m_path))
        return false;
    m_path.clear();
    return true;
}

TemporaryFile::TemporaryFile(FileSystem& files, std::string path, TemporaryNaming naming)
    : m_files(files), m_path(std::move(path))
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string temporary = TemporaryPathFor(m_path, naming);
        m_file = m_files.OpenWrite(temporary, WriteMode::CreateNew);
        if (m_file) {
            m_temporary = std::move(temporary);
            return;
        }
        // Only a taken name is worth another try; anything else would fail again.
        if (m_files.KindOfEntry(temporary) == FileKind::None)
            return;
    }
}

TemporaryFile::TemporaryFile(FileSystem& files, std::string path, std::string temporaryPath)
    : m_files(files), m_path(std::move(path)), m_file(files.OpenWrite(temporaryPath, WriteMode::CreateNew))
{
    if (m_file)
        m_temporary = std::move(temporaryPath);
}

TemporaryFile::~TemporaryFile()
{
    Discard();
}

bool TemporaryFile::Close()
{
    if (!m_file)
        return true;
    const bool closed = m_file->Close();
    m_file.reset();
    return closed;
}

bool TemporaryFile::Commit()
{
    if (m_temporary.empty())
        return false;
    // On the device before it takes the name: a power cut then leaves the old file
    // or the whole new one under it, never a new name with bytes still missing.
    const bool synced = !m_file || m_file->Sync();
    if (!Close() || !synced) {
        Discard();
        return false;
    }
    m_placed = MoveIntoPlace(m_files, m_temporary, m_path);
    m_temporary.clear();
    return m_placed && m_files.SyncFolder(FolderPart(m_path));
}

// Closes the file, when still held, and removes the temporary.
void TemporaryFile::Discard()
{
    m_file.reset();
    if (!m_temporary.empty())
        m_files.Remove(m_temporary);
    m_temporary.clear();
}

bool MoveIntoPlace(FileSystem& files, const std::string& from, const std::string& to)
{
    if (files.Rename(from, to))
        return true;
    files.Remove(from);
    return false;
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

bool IsTemporaryNameFor(const std::string& name, const std::string& target)
{
    const std::string prefix = std::string(1, kHiddenMark).append(target).append(kTemporaryMark);
    return name.size() == prefix.size() + kRandomLength && name.starts_with(prefix) &&
           name.find_first_not_of(kRandomAlphabet, prefix.size()) == std::string::npos;
}

}  // namespace platform
