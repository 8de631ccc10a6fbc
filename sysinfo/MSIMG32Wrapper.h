#pragma once

#include "sysinfo/WrapperBase.h"

// GradientFill of MSIMG32.DLL (Windows 98 / 2000 and later).
class MSIMG32Wrapper : public WrapperBase {
public:
    typedef BOOL(WINAPI* PFN_GradientFill)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

    MSIMG32Wrapper();

    bool GradientFill(HDC dc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh, ULONG meshCount,
                      ULONG mode);

    PFN_GradientFill pfnGradientFill;
};
