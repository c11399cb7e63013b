#pragma once
// The user settings kept between runs, in section "USERDATA" of "Wavlrn.ini": the
// folder of the last file chosen in a file dialog ("WORKPATH"), which becomes the
// initial folder of the next file dialog, and the folder the last archive of a disk
// went into ("ARCHIVEPATH"), which the next archive offers.

#include <string>

// What the file dialogs need of the settings. The GUI stores them in the settings
// file; the command-line tool must leave that file alone and uses CNoUserData.
class CUserData {
public:
    virtual ~CUserData() = default;

    // Reads the work folder into `path` (empty when none is stored); true when it is not empty.
    virtual bool GetWorkPath(std::string& path) const = 0;
    // Stores the work folder; false when it could not be stored.
    virtual bool SetWorkPath(const std::string& path) = 0;

    // The archive folder, read and stored as the work folder is. Settings that keep
    // only the work folder store none.
    virtual bool GetArchivePath(std::string& path) const;
    virtual bool SetArchivePath(const std::string& path);

    // The full path with as many characters cut from its end as `fileName` has:
    // "/snd/take1.wav" with "take1.wav" gives "/snd/". Empty when the name is longer.
    static std::string GetFolderOf(const std::string& fullPath, const std::string& fileName);
};

// The settings in an INI file whose full path is handed over at start-up.
class CRegUserData : public CUserData {
public:
    explicit CRegUserData(std::string settingsPath);

    bool GetWorkPath(std::string& path) const override;
    bool SetWorkPath(const std::string& path) override;
    bool GetArchivePath(std::string& path) const override;
    bool SetArchivePath(const std::string& path) override;

private:
    std::string m_settingsPath;
};

// Settings that are never stored: nothing is read, nothing is written.
class CNoUserData : public CUserData {
public:
    bool GetWorkPath(std::string& path) const override;
    bool SetWorkPath(const std::string& path) override;
};

inline constexpr const char* kSettingsFileName = "Wavlrn.ini";
inline constexpr const char* kUserDataSection = "USERDATA";
inline constexpr const char* kWorkPathKey = "WORKPATH";
inline constexpr const char* kArchivePathKey = "ARCHIVEPATH";

// Where the settings file lives for this user: "Wavlrn.ini" in the user's settings
// folder (on Linux $XDG_CONFIG_HOME, else ~/.config); just the name when no folder is known.
std::string DefaultSettingsPath();
