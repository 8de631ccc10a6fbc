#pragma once

#include "sysinfo/WrapperBase.h"

// Symbol undecorator of the image-help library.
class IMAGEHELPWrapper : public WrapperBase {
public:
    typedef DWORD(WINAPI* PFN_UnDecorateSymbolName)(PCSTR, PSTR, DWORD, DWORD);

    IMAGEHELPWrapper();

    // One binding for the whole process, loaded on first use and kept:
    // loading the library costs far more than reading a module's tables.
    static IMAGEHELPWrapper& Shared();

    DWORD UnDecorateSymbolName(PCSTR decorated, PSTR buffer, DWORD size, DWORD flags);
    bool CanUndecorate() const { return pfnUnDecorateSymbolName != nullptr; }

    PFN_UnDecorateSymbolName pfnUnDecorateSymbolName;
};
