#pragma once

#include <cstdint>
#include <string>

// What the system reports about its version, gathered once.
struct OsVersionFacts {
    bool bExtended = false;         // the extended (156-byte) query succeeded
    bool bBasic = false;            // the basic (148-byte) query succeeded
    uint32_t dwMajorVersion = 0;
    uint32_t dwMinorVersion = 0;
    uint32_t dwBuildNumber = 0;
    uint32_t dwPlatformId = 0;
    std::string strCSDVersion;
    uint16_t wSuiteMask = 0;
    uint8_t wProductType = 0;
    std::string strProductType;     // registry ProductType, read when only the basic query worked
    bool bHotfixQ246009 = false;    // NT 4 Service Pack 6a marker key present
};

// Kind and description of the operating system.
class OsVersion {
public:
    enum Kind : uint32_t {
        Unknown = 0,
        Windows95 = 1,
        Windows98 = 2,
        Windows98SE = 3,
        WindowsME = 4,
        WindowsNT = 5,
        Windows2000 = 6,
        WindowsXP = 7,
        WindowsServer2003 = 8,
        WindowsLonghorn = 9,
    };

    // Describes the running system.
    OsVersion();
    explicit OsVersion(const OsVersionFacts& facts);

    static OsVersionFacts QueryFacts();

    // The kind alone (OsKind.cpp, free of the C++ library, for the system
    // libraries): from the platform, the version numbers and the second
    // character of the service-pack text; and of the running system.
    static Kind KindOf(uint32_t platformId, uint32_t major, uint32_t minor, char servicePackSecond);
    static Kind QueryKind();

    bool IsWindows95() const { return nKind == Windows95; }
    bool IsWindows98() const { return nKind == Windows98; }
    bool IsWindows98SE() const { return nKind == Windows98SE; }
    bool IsWindowsME() const { return nKind == WindowsME; }
    bool IsWindowsNT() const { return nKind == WindowsNT; }
    bool IsWindows2000() const { return nKind == Windows2000; }
    bool IsWindowsXP() const { return nKind == WindowsXP; }
    bool IsWindowsServer2003() const { return nKind == WindowsServer2003; }
    bool IsWindowsLonghorn() const { return nKind == WindowsLonghorn; }
    bool Is9xFamily() const { return nKind >= Windows95 && nKind <= WindowsME; }
    bool IsNTFamily() const { return nKind >= WindowsNT && nKind <= WindowsLonghorn; }

    uint32_t nKind;
    std::string strDescription;

private:
    void Describe(const OsVersionFacts& facts);
};
