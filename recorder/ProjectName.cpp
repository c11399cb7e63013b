#include "recorder/ProjectName.h"

#include "recorder/FnbTextProjects.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

bool IsPrintable(char c)
{
    return c >= kFirstNameCharacter && c <= kLastNameCharacter;
}

// A byte as "0x2A".
std::string HexByte(char c)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::optional<Refusal> RefuseProjectName(const std::string& name)
{
    const auto refused = std::find_if_not(name.begin(), name.end(), IsPrintable);
    if (refused != name.end())
        return Refusal{MessageId::ConvertFailed, Reason::ProjectNameRefused, name,
                       std::string(kProjectNameRule) + "; byte " + std::to_string(refused - name.begin() + 1) +
                           " is " + HexByte(*refused) + ", not a printable character"};
    if (name.size() > kProjectNameMaxLength)
        return Refusal{MessageId::ConvertFailed, Reason::ProjectNameRefused, name,
                       std::string(kProjectNameRule) + "; this one has " + std::to_string(name.size())};
    const auto key = std::search(name.begin(), name.end(), kSerialKey.begin(), kSerialKey.end(),
                                 [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
    if (key != name.end())
        return Refusal{MessageId::ConvertFailed, Reason::ProjectNameHoldsSerialKey, name, {}};
    return std::nullopt;
}

bool IsAcceptableProjectName(const std::string& name)
{
    return !RefuseProjectName(name);
}

std::string ProjectNamePattern()
{
    char pattern[32];
    std::snprintf(pattern, sizeof pattern, "[\\x%02X-\\x%02X]{0,%zu}", static_cast<unsigned>(kFirstNameCharacter),
                  static_cast<unsigned>(kLastNameCharacter), kProjectNameMaxLength);
    return pattern;
}
