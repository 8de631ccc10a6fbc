#include "sysutils/OsVersion.h"

#include "sysutils/TextHelpers.h"

#include <windows.h>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
bool EqualNoCase(const std::string& a, const char* b)
{
    return lstrcmpiA(a.c_str(), b) == 0;
}

std::string ServicePackAndBuild(const char* servicePack, unsigned build)
{
    char text[400];
    snprintf(text, sizeof(text), "%s (Build %d)", servicePack, static_cast<int>(build));
    return text;
}
} // namespace

OsVersion::OsVersion() : nKind(Unknown)
{
    Describe(QueryFacts());
}

OsVersion::OsVersion(const OsVersionFacts& facts) : nKind(Unknown)
{
    Describe(facts);
}

OsVersionFacts OsVersion::QueryFacts()
{
    OsVersionFacts facts;
    OSVERSIONINFOEXA ex;
    std::memset(&ex, 0, sizeof(ex));
    ex.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex))) {
        facts.bExtended = facts.bBasic = true;
        facts.wSuiteMask = ex.wSuiteMask;
        facts.wProductType = ex.wProductType;
    } else {
        std::memset(&ex, 0, sizeof(ex));
        ex.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex))) return facts;
        facts.bBasic = true;
    }
    facts.dwMajorVersion = ex.dwMajorVersion;
    facts.dwMinorVersion = ex.dwMinorVersion;
    facts.dwBuildNumber = ex.dwBuildNumber;
    facts.dwPlatformId = ex.dwPlatformId;
    ex.szCSDVersion[sizeof(ex.szCSDVersion) - 1] = '\0';
    facts.strCSDVersion = ex.szCSDVersion;

    if (facts.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (!facts.bExtended) {
            HKEY key;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0,
                              KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
                char value[81] = {};
                DWORD size = 80;
                if (RegQueryValueExA(key, "ProductType", nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                                     &size) == ERROR_SUCCESS)
                    facts.strProductType = value;
                RegCloseKey(key);
            }
        }
        if (facts.dwMajorVersion == 4 && EqualNoCase(facts.strCSDVersion, "Service Pack 6")) {
            HKEY key;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                              "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009", 0,
                              KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
                facts.bHotfixQ246009 = true;
                RegCloseKey(key);
            }
        }
    }
    return facts;
}

void OsVersion::Describe(const OsVersionFacts& f)
{
    nKind = Unknown;
    strDescription.clear();
    if (!f.bBasic) return;

    std::string& d = strDescription;
    const std::string& csd = f.strCSDVersion;
    const char csd1 = csd.size() > 1 ? csd[1] : '\0';

    nKind = KindOf(f.dwPlatformId, f.dwMajorVersion, f.dwMinorVersion, csd1);
    if (f.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        switch (nKind) {
        case Windows95:
            d += "Microsoft Windows 95 ";
            if (csd1 == 'C' || csd1 == 'B') d += "OSR2 ";
            break;
        case Windows98:
            d += "Microsoft Windows 98 ";
            break;
        case Windows98SE:
            d += "Microsoft Windows 98 SE ";
            break;
        case WindowsME:
            d += "Microsoft Windows Millennium Edition ";
            break;
        default:
            break;
        }
    } else if (f.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        const uint32_t major = f.dwMajorVersion, minor = f.dwMinorVersion;
        switch (nKind) {
        case WindowsLonghorn:
            d += "Microsoft Windows Code Name \"Longhorn\" ";
            break;
        case WindowsServer2003:
            d += "Microsoft Windows Server 2003 ";
            break;
        case WindowsXP:
            d += "Microsoft Windows XP ";
            break;
        case Windows2000:
            d += "Microsoft Windows 2000 ";
            break;
        case WindowsNT:
            d += "Microsoft Windows NT ";
            break;
        default:
            break;
        }

        if (f.bExtended) {
            if (f.wProductType == VER_NT_WORKSTATION) {
                if (major == 4)
                    d += "Workstation 4.0 ";
                else if (f.wSuiteMask & 0x200)
                    d += "Home Edition ";
                else
                    d += "Professional ";
            } else if (f.wProductType == VER_NT_SERVER) {
                if (major == 5 && minor == 2) {
                    if (f.wSuiteMask & 0x80)
                        d += "Datacenter Edition ";
                    else if (f.wSuiteMask & 0x2)
                        d += "Enterprise Edition ";
                    else if (f.wSuiteMask == 0x400)
                        d += "Web Edition ";
                    else
                        d += "Standard Edition ";
                } else if (major == 5 && minor == 0) {
                    if (f.wSuiteMask & 0x80)
                        d += "Datacenter Server ";
                    else if (f.wSuiteMask & 0x2)
                        d += "Advanced Server ";
                    else
                        d += "Server ";
                } else {
                    if (f.wSuiteMask & 0x2)
                        d += "Server 4.0, Enterprise Edition ";
                    else
                        d += "Server 4.0 ";
                }
            }
        } else {
            if (EqualNoCase(f.strProductType, "WINNT"))
                d += "Professional ";
            else if (EqualNoCase(f.strProductType, "LANMANNT"))
                d += "Server ";
            else if (EqualNoCase(f.strProductType, "SERVERNT"))
                d += "Advanced Server ";
            char numbers[32];
            snprintf(numbers, sizeof(numbers), "%d.%d ", static_cast<int>(major), static_cast<int>(minor));
            d += numbers;
        }

        if (major == 4 && EqualNoCase(csd, "Service Pack 6")) {
            if (f.bHotfixQ246009)
                d += ServicePackAndBuild("Service Pack 6a", f.dwBuildNumber & 0xFFFF);
            else
                d += ServicePackAndBuild(csd.c_str(), f.dwBuildNumber);
        } else {
            d += ServicePackAndBuild(csd.c_str(), f.dwBuildNumber);
        }
    } else {
        d = "<Unknown>";
    }

    std::vector<char> text(d.begin(), d.end());
    text.push_back('\0');
    TextHelpers::CollapseWhitespace(text.data());
    d = text.data();
}
