// The OS kind without the description: no C++ library, so that the system
// libraries can use it.
#include "sysutils/OsVersion.h"

#include <windows.h>

OsVersion::Kind OsVersion::KindOf(uint32_t platformId, uint32_t major, uint32_t minor, char servicePackSecond)
{
    if (platformId == VER_PLATFORM_WIN32_WINDOWS) {
        if (major != 4) return Unknown;
        if (minor == 0) return Windows95;
        if (minor == 10) return servicePackSecond == 'A' ? Windows98SE : Windows98;
        if (minor == 90) return WindowsME;
        return Unknown;
    }
    if (platformId == VER_PLATFORM_WIN32_NT) {
        if (major == 6 && minor == 0) return WindowsLonghorn;
        if (major == 5 && minor == 2) return WindowsServer2003;
        if (major == 5 && minor == 1) return WindowsXP;
        if (major == 5 && minor == 0) return Windows2000;
        if (major < 5) return WindowsNT;
    }
    return Unknown;
}

OsVersion::Kind OsVersion::QueryKind()
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) return Unknown;
    info.szCSDVersion[sizeof(info.szCSDVersion) - 1] = '\0';
    const char second = info.szCSDVersion[0] ? info.szCSDVersion[1] : '\0';
    return KindOf(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, second);
}
