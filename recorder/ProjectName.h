#pragma once
// The rule for a name FNB.TXT can carry as a project name: at most 12 printable
// single-byte characters (0x20 to 0x7E), and never "SNGSERIAL:" in any letter case,
// the key of the lines the project number is read from. The pages and the command
// line refuse other input where it is given; the project block refuses it too.

#include "recorder/Errors.h"

#include <cstddef>
#include <optional>
#include <string>

inline constexpr std::size_t kProjectNameMaxLength = 12;
// The characters a project name may hold: the printable single bytes.
inline constexpr char kFirstNameCharacter = 0x20;
inline constexpr char kLastNameCharacter = 0x7E;
// The rule in words, as the refusals say it.
inline constexpr const char* kProjectNameRule = "a project name holds at most 12 printable characters";

// Why FNB.TXT cannot carry `name` as a project name, or nothing when it can. The
// refusal's subject is the name.
std::optional<Refusal> RefuseProjectName(const std::string& name);
bool IsAcceptableProjectName(const std::string& name);

// The characters and the length of the rule as a regular expression, for an input
// field that checks while it is typed into ("[\x20-\x7E]{0,12}").
std::string ProjectNamePattern();
