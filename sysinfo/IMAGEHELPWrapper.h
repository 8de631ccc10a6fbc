#pragma once

#include "WrapperBase.h"

// Symbol undecorator of the image-help library.
class IMAGEHELPWrapper : public WrapperBase {
public:
    typedef DWORD(WINAPI* PFN_UnDecorateSymbolName)(PCSTR, PSTR, DWORD, DWORD);

    IMAGEHELPWrapper();

    DWORD UnDecorateSymbolName(PCSTR decorated, PSTR buffer, DWORD size, DWORD flags);
    bool CanUndecorate() const { return pfnUnDecorateSymbolName != nullptr; }

    PFN_UnDecorateSymbolName pfnUnDecorateSymbolName;
};
