#include "sysinfo/WrapperBase.h"

#include "sysinfo/DebugOutput.h"

WrapperBase::WrapperBase(const char* libraryName)
    : hModule(LoadLibraryA(libraryName))
{
    if (!hModule)
        DebugOutput::Format(260, "WrapperBase::load(%s) failed! The library was not found!\n",
                            libraryName ? libraryName : "(null)");
}

WrapperBase::WrapperBase(const char* libraryName, Quiet)
    : hModule(LoadLibraryA(libraryName))
{
}

WrapperBase::~WrapperBase()
{
    if (hModule) {
        FreeLibrary(hModule);
        hModule = nullptr;
    }
}
