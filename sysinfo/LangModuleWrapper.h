#pragma once

#include "sysinfo/WrapperBase.h"

#pragma pack(push, 1)
// Filled by a language module's GetLangModuleInfo export.
struct LangModuleInfo {
    DWORD cbSize;        // 18
    DWORD fMask;         // 1 icon, 2 language id, 4 module handle
    HICON hIcon;
    WORD wLanguageId;
    HMODULE hModule;
};
#pragma pack(pop)

#ifndef _WIN64
static_assert(sizeof(LangModuleInfo) == 18, "LangModuleInfo is a packed 18-byte record");
#endif

enum : DWORD {
    LMI_ICON = 1,
    LMI_LANGID = 2,
    LMI_MODULE = 4,
};

// One language module: a resource DLL exporting GetLangModuleInfo.
class LangModuleWrapper : public WrapperBase {
public:
    typedef int(__cdecl* PFN_GetLangModuleInfo)(LangModuleInfo*);

    explicit LangModuleWrapper(const char* fileName);

    int GetLangModuleInfo(LangModuleInfo* info);
    bool IsValid() const { return hModule && pfnGetLangModuleInfo; }

    PFN_GetLangModuleInfo pfnGetLangModuleInfo;
};
