/*
 * Test language module (not shipped), built as tw-lang-07ff (language
 * 0x07FF, which no system has installed, with an icon) and tw-lang-noicon
 * (French, no icon, a string table of one entry and no menus or dialogs);
 * tw-lang-hostile: French with an icon and string-table texts whose
 * conversions do not fit the program's arguments ("%s%s%s%n", "PID %s").
 */
#include <windows.h>

#pragma pack(push, 1)
typedef struct LangModuleInfo {
    DWORD cbSize;
    DWORD fMask;
    HICON hIcon;
    WORD wLanguageId;
    HMODULE hModule;
} LangModuleInfo;
#pragma pack(pop)

static HINSTANCE g_instance;

__declspec(dllexport) int __cdecl GetLangModuleInfo(LangModuleInfo* info)
{
    if (!info || info->cbSize != sizeof(LangModuleInfo)) return 0;
    if (info->fMask & 1) {
#if WITH_ICON
        info->hIcon = (HICON)LoadImageA(g_instance, MAKEINTRESOURCEA(1), IMAGE_ICON, 16, 16, 0);
#else
        return 0;
#endif
    }
    if (info->fMask & 2) info->wLanguageId = LANGUAGE_ID;
    if (info->fMask & 4) info->hModule = g_instance;
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
    return TRUE;
}
