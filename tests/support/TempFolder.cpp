#include "tests/support/TempFolder.h"

#include "platform/Files.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testsupport {

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    // A random part keeps test programs that run at the same time apart.
    static const unsigned processTag = std::random_device{}();
    const auto base = fs::temp_directory_path();
    for (;;) {
        const fs::path candidate =
            base / ("wavelorn-test-" + std::to_string(processTag) + "-" + std::to_string(counter++));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            m_path = platform::Utf8FromPath(candidate);
            return;
        }
        if (error)
            throw std::runtime_error("cannot create a temporary folder: " + error.message());
    }
}

TempFolder::~TempFolder()
{
    std::error_code error;
    fs::remove_all(m_path, error);
}

std::string TempFolder::File(const std::string& name) const
{
    return platform::JoinPath(m_path, name);
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(platform::PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(platform::PathFromUtf8(path), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace testsupport
