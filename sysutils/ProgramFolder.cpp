#include "sysutils/ProgramFolder.h"

#include <windows.h>

std::string ProgramFolder::Path()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    std::string folder(path, length);
    const size_t slash = folder.find_last_of("\\/");
    if (slash == std::string::npos) return std::string();
    folder.resize(slash + 1);
    return folder.size() > MAX_PATH - 1 ? std::string() : folder;
}

std::string ProgramFolder::File(const char* name)
{
    const std::string folder = Path();
    return folder.empty() ? folder : folder + name;
}
