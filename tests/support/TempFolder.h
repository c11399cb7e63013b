#pragma once
// A fresh temporary folder for one test, removed with everything in it afterwards.

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // Full path of `name` inside the folder.
    std::string File(const std::string& name) const;

private:
    std::string m_path;
};

// Whole-file helpers for tests.
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::string& path);

}  // namespace testsupport
