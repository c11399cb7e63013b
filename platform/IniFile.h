#pragma once
// One INI (private profile) file: read and write a single key of a single section.
//
// Section and key names match without regard to ASCII case; blanks around the
// name, the '=' and the value are ignored on reading; values are kept byte for
// byte otherwise (a backslash stays a backslash). A missing file, section or key
// reads as the default. Writing creates the file, the section and the key as
// needed and leaves every other line as it was.

#include "platform/FileSystem.h"

#include <string>

namespace platform {

class IniFile {
public:
    explicit IniFile(std::string path, FileSystem& files = RealFileSystem());

    // The value of `key` in `section`, or `defaultValue` when there is none.
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& defaultValue = {}) const;

    // Stores `value` as `key` of `section`. The file is replaced as a whole only once
    // the new content is safely written. False when the file cannot be written, or
    // when a name or the value holds a line break (it would forge other lines).
    bool Write(const std::string& section, const std::string& key, const std::string& value) const;

private:
    std::string m_path;
    FileSystem& m_files;
};

// The folder that holds the user's settings files: $XDG_CONFIG_HOME, else
// $HOME/.config; on Windows the user's application-data folder. Empty when none is known.
std::string UserSettingsFolder();

}  // namespace platform
