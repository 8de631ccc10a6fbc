#pragma once

#include "app/settings/SettingsRecordCheck.h"
#include "app/settings/UserSettings.h"

#include <string>

// Loading, saving and defaults of the settings record.
class UserSettingsFile {
public:
    static const uint32_t kSize = SettingsRecordCheck::kSize;
    static const uint32_t kVersion = SettingsRecordCheck::kVersion;
    static const uint32_t kRevision = SettingsRecordCheck::kRevision;
    static const uint32_t kCpuBackgroundDefault = 0xFF000000;

    static void SetDefaults(UserSettings& settings);
    // "Tarnwick.ui" in the program's folder.
    static std::string DefaultPath();
    enum class LoadResult { Unreadable, Rejected, Accepted };
    // The record as the program reads it: the file's bytes over the defaults
    // when it is accepted (damaged fields repaired), else the settings unchanged.
    static LoadResult LoadFile(UserSettings& settings, const std::string& path);
    // True when the file could be read (also when its content was rejected).
    static bool Load(UserSettings& settings, const std::string& path);
    // Writes the record; the previous file stays intact until the new one is complete.
    static bool Save(UserSettings& settings, const std::string& path);
    // The live view's settings (LiveSettings) are kept in "Tarnwick.live"
    // beside the settings file, whose record stays as older programs read it.
    static std::string LivePath(const std::string& settingsPath);
    // Sets the defaults, then reads the file over them (each damaged setting
    // keeps its default). False when the file cannot be read.
    static bool LoadLive(LiveSettings& live, const std::string& settingsPath);
    // Writes the file; the previous one stays intact until the new one is complete.
    static bool SaveLive(const LiveSettings& live, const std::string& settingsPath);
    // Separator and delimiter characters of the clipboard copy ('\0': none).
    static char CopySeparator(const UserSettings& settings);
    static char CopyDelimiter(const UserSettings& settings);
};
