#include "sysinfo/DllGetVersionWrapper.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"

static_assert(sizeof(DllGetVersionWrapper::VersionInfo) == 20, "DLLVERSIONINFO is 20 bytes");

DllGetVersionWrapper::DllGetVersionWrapper(const char* libraryName)
    : WrapperBase(libraryName), pfnDllGetVersion(Resolve<PFN_DllGetVersion>("DllGetVersion"))
{
}

DWORD DllGetVersionWrapper::DllGetVersion()
{
    DWORD version = 0;
    if (!GuardedCall::Invoke([&] {
            VersionInfo info = {};
            info.cbSize = sizeof(info);
            HRESULT hr = pfnDllGetVersion(&info);
            if (hr >= 0)
                version = ((info.dwMajorVersion & 0xFFFF) << 16) | (info.dwMinorVersion & 0xFFFF);
        })) {
        DebugOutput::Write("DllGetVersionWrapper::DllGetVersion\n");
        return 0;
    }
    return version;
}
