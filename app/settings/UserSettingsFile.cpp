#include "app/settings/UserSettingsFile.h"
#include "sysutils/ProgramFolder.h"

#include "app/settings/LiveSettingsFormat.h"
#include "app/settings/SettingsRecordCheck.h"
#include "app/settings/UserSettingsCheck.h"
#include "sysinfo/DebugOutput.h"
#include "sysutils/StagedFiles.h"
#include "sysutils/Orvo_SystemUtilities.h"

#include <cstring>

namespace {
const uint32_t kProcessWidths[12] = {110, 40, 70, 100, 100, 100, 170, 40, 40, 100, 200, 250};
const uint32_t kModuleWidths[12] = {95, 150, 75, 90, 100, 100, 60, 120, 120, 0, 0, 0};

void DebugLine(const char* text)
{
    DebugOutput::Write(text);
}
} // namespace

void UserSettingsFile::SetDefaults(UserSettings& s)
{
    std::memset(&s, 0, sizeof(s));
    s.dwSize = kSize;
    s.dwVersion = kVersion;
    s.dwRevision = kRevision;
    s.wpMainWindow.rcNormalPosition.right = static_cast<LONG>(0x80000000u);
    s.wpMainWindow.rcNormalPosition.bottom = static_cast<LONG>(0x80000000u);
    s.nLeftPaneWidth = 270;
    s.bShowToolbar = s.bShowInfobar = s.bShowStatusbar = 1;
    SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(s.lfViewFont), &s.lfViewFont, 0);
    s.bResolveProcessDependencies = 1;
    s.bHighlightServices = 1;
    s.bHighlightDynamicLoads = 1;
    s.crText = 0x000000;
    s.crBackground = 0xFFFFFF;
    s.crServices = 0x0064C8;
    s.crDynamicLoads = 0xA00000;
    s.bDateUseDefault = 1;
    s.bDateLong = 1;
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLONGDATE, s.szDateFormat, sizeof(s.szDateFormat));
    s.szDateFormat[sizeof(s.szDateFormat) - 1] = '\0';
    s.bTimeUseDefault = 1;
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, s.szTimeFormat, sizeof(s.szTimeFormat));
    s.szTimeFormat[sizeof(s.szTimeFormat) - 1] = '\0';
    s.dwCopyProcessColumns = 1;
    s.dwCopyModuleColumns = 1;
    s.nCopySeparator = 2;
    s.nCopyDelimiter = 1;
    for (int i = 0; i < 12; ++i) {
        s.aProcessColumns[i].bVisible = 1;
        s.aProcessColumns[i].nWidth = kProcessWidths[i];
        s.aProcessColumns[i].nColumnId = static_cast<uint32_t>(i);
        if (i < 9) {
            s.aModuleColumns[i].bVisible = 1;
            s.aModuleColumns[i].nWidth = kModuleWidths[i];
            s.aModuleColumns[i].nColumnId = static_cast<uint32_t>(i);
        }
        s.anProcessColumnOrder[i] = static_cast<uint32_t>(i);
        s.anModuleColumnOrder[i] = static_cast<uint32_t>(i);
    }
    s.nProcessColumnCount = 12;
    s.nModuleColumnCount = 12;
    s.ssProcessSort.bAscending = 1;
    s.ssModuleSort.bAscending = 1;
    s.bEnableTooltips = 1;
    s.nReportFileType = 3;
    s.crCpuText = 0x800000;
    s.crCpuBackground = kCpuBackgroundDefault;
    s.crCpuGraph = 0x800000;
}

std::string UserSettingsFile::DefaultPath()
{
    return ProgramFolder::File("Tarnwick.ui");
}

UserSettingsFile::LoadResult UserSettingsFile::LoadFile(UserSettings& settings, const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LoadResult::Unreadable;
    uint8_t bytes[kSize];
    DWORD read = 0;
    const BOOL ok = ReadFile(file, bytes, kSize, &read, nullptr);
    CloseHandle(file);
    if (!ok) return LoadResult::Unreadable;
    UserSettings candidate;
    SetDefaults(candidate);
    if (!SettingsRecordCheck::Apply(bytes, read, reinterpret_cast<uint8_t*>(&candidate))) return LoadResult::Rejected;
    std::memcpy(&settings, &candidate, kSize);
    UserSettings defaults;
    SetDefaults(defaults);
    UserSettingsCheck::Repair(settings, defaults);
    return LoadResult::Accepted;
}

bool UserSettingsFile::Load(UserSettings& settings, const std::string& path)
{
    return LoadFile(settings, path) != LoadResult::Unreadable;
}

bool UserSettingsFile::Save(UserSettings& settings, const std::string& path)
{
    settings.dwSize = kSize;
    settings.dwVersion = kVersion;
    settings.dwRevision = kRevision;

    // The new record goes to a file beside the old one and replaces it only
    // once it is completely written.
    const std::string temporary = path + ".new";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DebugOutput::Format(300, "Could not create the file \"%s\"\n", path.c_str());
        DebugLine("Unable to save user settings!\n");
        return false;
    }
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, &settings, settings.dwSize, &written, nullptr);
    const BOOL flushed = FlushFileBuffers(file);
    const BOOL closed = CloseHandle(file);
    if (!wrote || written != settings.dwSize || !flushed || !closed) {
        DeleteFileA(temporary.c_str());
        DebugLine("Unable to save user settings!\n");
        return false;
    }
    // On the 9x family the old file is renamed aside, not deleted, until the
    // new one is in its place.
    if (!StagedFiles::MoveOver(temporary, path)) {
        DeleteFileA(temporary.c_str());
        DebugLine("Unable to save user settings!\n");
        return false;
    }
    return true;
}

std::string UserSettingsFile::LivePath(const std::string& settingsPath)
{
    const size_t slash = settingsPath.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : settingsPath.substr(0, slash + 1)) + "Tarnwick.live";
}

bool UserSettingsFile::LoadLive(LiveSettings& live, const std::string& settingsPath)
{
    LiveSettingsFormat::SetDefaults(live);
    const std::string path = LivePath(settingsPath);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char text[LiveSettingsFormat::kMaxBytes];
    DWORD read = 0;
    const BOOL ok = ReadFile(file, text, sizeof(text), &read, nullptr);
    CloseHandle(file);
    if (!ok) return false;
    LiveSettingsFormat::Parse(text, read, live);
    return true;
}

bool UserSettingsFile::SaveLive(const LiveSettings& live, const std::string& settingsPath)
{
    const std::string path = LivePath(settingsPath);
    const std::string text = LiveSettingsFormat::Write(live);
    StagedFiles staged;
    const std::string temporary = staged.Stage(path);
    bool ok = !temporary.empty();
    if (ok) {
        HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        ok = file != INVALID_HANDLE_VALUE;
        if (ok) {
            DWORD written = 0;
            ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)
              && written == text.size();
            ok = FlushFileBuffers(file) && ok;
            ok = CloseHandle(file) && ok;
        }
    }
    if (!ok || !staged.Commit()) {
        DebugOutput::Format(300, "Could not create the file \"%s\"\n", path.c_str());
        return false;
    }
    return true;
}

char UserSettingsFile::CopySeparator(const UserSettings& settings)
{
    switch (settings.nCopySeparator) {
    case 2: return ';';
    case 3: return ',';
    case 4: return ' ';
    default: return '\t';
    }
}

char UserSettingsFile::CopyDelimiter(const UserSettings& settings)
{
    switch (settings.nCopyDelimiter) {
    case 1: return '"';
    case 2: return '\'';
    default: return '\0';
    }
}
