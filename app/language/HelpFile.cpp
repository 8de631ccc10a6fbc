#include "app/language/HelpFile.h"
#include "sysutils/ProgramFolder.h"

#include "app/language/LanguageFiles.h"
#include "app/menus/StringTable.h"
#include "sysutils/Orvo_SystemUtilities.h"

#include <shellapi.h>
#include <cstring>

namespace {
bool Exists(const std::string& path)
{
    if (path.empty()) return false;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}
} // namespace

std::string HelpFile::ProgramFolder()
{
    const std::string folder = ProgramFolder::Path();
    return folder.size() > LanguageFiles::kMaxPath ? std::string() : folder;
}

std::string HelpFile::Find(const std::string& programFolder, WORD languageId)
{
    const std::string own = LanguageFiles::HelpCandidate(programFolder, LanguageFiles::Prefix(languageId));
    if (Exists(own)) return own;
    const std::string english = LanguageFiles::HelpCandidate(programFolder, "en");
    if (Exists(english)) return english;
    return std::string();
}

int HelpFile::GetHelpFile(char* buffer, int size, WORD languageId, HWND owner)
{
    return GetHelpFile(ProgramFolder(), buffer, size, languageId, owner);
}

int HelpFile::GetHelpFile(const std::string& folder, char* buffer, int size, WORD languageId, HWND owner)
{
    const std::string path = folder.empty() ? std::string() : Find(folder, languageId);
    if (!path.empty() && buffer && size > static_cast<int>(path.size())) {
        std::memcpy(buffer, path.c_str(), path.size() + 1);
        return static_cast<int>(path.size());
    }
    if (buffer && size > 0) buffer[0] = '\0';
    const std::string title = StringTable::Load(1);
    MessageBoxA(owner && IsWindow(owner) ? owner : nullptr, "Help file not found!", title.c_str(),
                MB_OK | MB_ICONSTOP);
    return -1;
}

bool HelpFile::Open(HWND owner, WORD languageId)
{
    char path[520];
    if (GetHelpFile(path, sizeof(path), languageId, owner) < 1) return false;
    return reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", path, nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}
