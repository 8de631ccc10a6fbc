/*
 * German language module of Tarnwick: a resource library with the program's
 * string table, menus and dialog templates in German (same identifiers),
 * and the one export the program asks: GetLangModuleInfo.
 */
#include <windows.h>

#define LANGUAGE_ID MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN) /* 0x0407 */
#define FLAG_ICON 1

#pragma pack(push, 1)
typedef struct LangModuleInfo {
    DWORD cbSize;  /* 18 */
    DWORD fMask;   /* 1 icon, 2 language id, 4 module handle */
    HICON hIcon;   /* the caller destroys it */
    WORD wLanguageId;
    HMODULE hModule;
} LangModuleInfo;
#pragma pack(pop)

#ifndef _WIN64
typedef char check_info_size[sizeof(LangModuleInfo) == 18 ? 1 : -1];
#endif

static HINSTANCE g_instance;

__declspec(dllexport) int __cdecl GetLangModuleInfo(LangModuleInfo* info)
{
    if (!info || info->cbSize != sizeof(LangModuleInfo)) return 0;
    if (info->fMask & 1) {
        /* Not shared: the caller owns and destroys it. */
        info->hIcon = (HICON)LoadImageA(g_instance, MAKEINTRESOURCEA(FLAG_ICON), IMAGE_ICON, 16, 16, 0);
        if (!info->hIcon) return 0;
    }
    if (info->fMask & 2) info->wLanguageId = LANGUAGE_ID;
    if (info->fMask & 4) info->hModule = g_instance;
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
