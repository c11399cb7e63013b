#include "platform/Sha256.h"

#include "platform/FileSystem.h"

#include <array>
#include <stdexcept>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <bcrypt.h>
#else
#include <openssl/evp.h>
#endif

namespace platform {

namespace {

constexpr std::size_t kDigestBytes = 32;
constexpr std::size_t kFileBlockBytes = std::size_t{1} << 20;
constexpr char kHexDigits[] = "0123456789abcdef";
constexpr unsigned kNibbleBits = 4;
constexpr unsigned kNibbleMask = 0xf;
constexpr std::size_t kHexDigitsPerByte = 2;

using Digest = std::array<unsigned char, kDigestBytes>;
static_assert(kSha256HexLength == kHexDigitsPerByte * kDigestBytes);

}  // namespace

std::string HexText(const void* bytes, std::size_t size)
{
    const auto* byte = static_cast<const unsigned char*>(bytes);
    std::string text;
    text.reserve(kHexDigitsPerByte * size);
    for (std::size_t i = 0; i < size; ++i) {
        text += kHexDigits[byte[i] >> kNibbleBits];
        text += kHexDigits[byte[i] & kNibbleMask];
    }
    return text;
}

#ifdef _WIN32

struct Sha256::State {
    State()
    {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
            throw std::runtime_error("SHA-256 is not available");
        Start();
    }
    ~State()
    {
        if (hash)
            BCryptDestroyHash(hash);
        BCryptCloseAlgorithmProvider(algorithm, 0);
    }
    void Start()
    {
        if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0)))
            throw std::runtime_error("SHA-256 cannot start");
    }
    void Update(const void* data, std::size_t size)
    {
        auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));
        // The call takes at most a 32-bit count.
        constexpr std::size_t kMaxPart = 0x40000000;
        while (size > 0) {
            const std::size_t part = size < kMaxPart ? size : kMaxPart;
            BCryptHashData(hash, bytes, static_cast<ULONG>(part), 0);
            bytes += part;
            size -= part;
        }
    }
    Digest Finish()
    {
        Digest digest{};
        BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0);
        BCryptDestroyHash(hash);
        hash = nullptr;
        Start();
        return digest;
    }

    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
};

#else

struct Sha256::State {
    State() : context(EVP_MD_CTX_new())
    {
        if (!context)
            throw std::runtime_error("SHA-256 is not available");
        Start();
    }
    ~State() { EVP_MD_CTX_free(context); }
    void Start()
    {
        if (EVP_DigestInit_ex(context, EVP_sha256(), nullptr) != 1)
            throw std::runtime_error("SHA-256 cannot start");
    }
    void Update(const void* data, std::size_t size) { EVP_DigestUpdate(context, data, size); }
    Digest Finish()
    {
        Digest digest{};
        unsigned int length = 0;
        EVP_DigestFinal_ex(context, digest.data(), &length);
        Start();
        return digest;
    }

    EVP_MD_CTX* context;
};

#endif

Sha256::Sha256() : m_state(std::make_unique<State>()) {}

Sha256::~Sha256() = default;

void Sha256::Update(const void* data, std::size_t size)
{
    m_state->Update(data, size);
}

std::string Sha256::HexDigest()
{
    const Digest digest = m_state->Finish();
    return HexText(digest.data(), digest.size());
}

std::string Sha256Hex(const void* data, std::size_t size)
{
    Sha256 digest;
    digest.Update(data, size);
    return digest.HexDigest();
}

std::optional<std::string> Sha256OfFile(FileSystem& files, const std::string& path, const ReadProgress& progress)
{
    const auto source = files.OpenRead(path);
    if (!source)
        return std::nullopt;
    Sha256 digest;
    std::vector<std::uint8_t> block(kFileBlockBytes);
    std::uint64_t position = 0;
    while (position < source->Size()) {
        const auto got = source->ReadAt(position, block.data(), block.size());
        if (!got || *got == 0)
            return std::nullopt;
        digest.Update(block.data(), *got);
        position += *got;
        if (progress)
            progress(position);
    }
    return digest.HexDigest();
}

}  // namespace platform
