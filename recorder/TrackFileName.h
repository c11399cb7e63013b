#pragma once
// Names of track data files: "8b32", the two-digit project number and the
// five-digit file serial, with a dot inserted at index 8 ("8b320500.012").

#include <cstddef>
#include <optional>
#include <string>

inline constexpr const char* kTrackFilePrefix = "8b32";
inline constexpr std::size_t kTrackFileNameLength = 12;
inline constexpr std::size_t kProjectNumberDigits = 2;
inline constexpr std::size_t kFileSerialDigits = 5;

// The name for a project number and a serial. A number above 99 or a serial above
// 99999 gives a name that is not 12 characters long; such a name is refused where
// a file is opened.
std::string MakeTrackFileName(unsigned projectNumber, unsigned serial);

// The same from the project number as its two-digit text (as FNB.TXT holds it).
std::string MakeTrackFileName(const std::string& projectDigits, unsigned serial);

// The project number digits of a track data file name ("05" of "8b320500.012").
std::string ProjectDigitsOf(const std::string& trackFileName);

// `value` in decimal with leading zeros to at least `width` digits, as the
// recorder's texts write numbers ("00012" for 12 in five digits).
std::string ZeroPadded(unsigned long long value, std::size_t width);

// The name a data file is moved aside under while an import writes a new file under its
// name: "A", its project number and serial, ".OLD" ("A0800012.OLD" for "8b320800.012").
// An 8.3 name, as the recorder's disk takes, that no recorder name can take; fixed, so
// that the next import finds what an interrupted one left. `trackFileName` must be a
// track data file name (letter case aside).
std::string MovedAsideName(const std::string& trackFileName);

// The track data file name a moved-aside name stands for (letter case aside); nothing
// for any other name.
std::optional<std::string> OriginalOfMovedAside(const std::string& name);
