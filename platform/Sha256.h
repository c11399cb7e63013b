#pragma once
// SHA-256 digests of bytes and of files, from the system's cryptographic library:
// OpenSSL's libcrypto on Linux, the CNG API (bcrypt) on Windows. On Linux it is a
// library of its own (wavelorn_digest) that only the command-line tool links, so the
// engine libraries stay free of third-party code; on Windows the platform layer holds
// it (the disk lock's name is a digest) and wavelorn_digest stands for that layer.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

class FileSystem;

inline constexpr std::size_t kSha256HexLength = 64;

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const void* data, std::size_t size);
    // Ends the digest: 64 lowercase hexadecimal digits. The object then starts afresh.
    std::string HexDigest();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The digest of `size` bytes.
std::string Sha256Hex(const void* data, std::size_t size);

// `size` bytes as lowercase hexadecimal digits, two to a byte, in order.
std::string HexText(const void* bytes, std::size_t size);

// Called with the bytes of a file read so far, for progress.
using ReadProgress = std::function<void(std::uint64_t bytesRead)>;

// The digest of the file at `path` in `files`; nothing when it cannot be opened or read.
std::optional<std::string> Sha256OfFile(FileSystem& files, const std::string& path,
                                        const ReadProgress& progress = {});

}  // namespace platform
