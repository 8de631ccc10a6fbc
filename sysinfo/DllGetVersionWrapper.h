#pragma once

#include "sysinfo/WrapperBase.h"

// The DllGetVersion export of a system library (COMCTL32.DLL at start-up).
class DllGetVersionWrapper : public WrapperBase {
public:
    struct VersionInfo {
        DWORD cbSize;
        DWORD dwMajorVersion;
        DWORD dwMinorVersion;
        DWORD dwBuildNumber;
        DWORD dwPlatformID;
    };
    typedef HRESULT(CALLBACK* PFN_DllGetVersion)(VersionInfo*);

    explicit DllGetVersionWrapper(const char* libraryName);

    // Major version in the high 16 bits, minor in the low 16 bits; 0 on failure.
    DWORD DllGetVersion();

    PFN_DllGetVersion pfnDllGetVersion;
};
