#include "tests/e2e/E2ePaths.h"

#include <windows.h>

std::string E2ePaths::ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    const size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".\\") : folder.substr(0, slash + 1);
}

std::string E2ePaths::ProgramPath(const std::string& fileName)
{
    return ProgramFolder() + fileName;
}

std::string E2ePaths::ScreenshotFolder()
{
    const std::string folder = ProgramFolder() + "screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string E2ePaths::Version()
{
    char value[64] = {};
    const DWORD length = GetEnvironmentVariableA("TW_E2E_VER", value, sizeof(value));
    return length && length < sizeof(value) ? value : "";
}

bool E2ePaths::IsNineX()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExA(&info);
    return info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
