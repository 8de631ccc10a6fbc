/*
 * TarnwickPlugin.h - the plug-in interface of Tarnwick 2.6 (C and C++).
 *
 * A plug-in is a 32-bit DLL placed in the "Plugins" folder beside
 * tarnwick.exe (subfolders are searched too). It exports one function by
 * name, "GetPluginInfo" (cdecl, no arguments), which returns the address of a
 * PluginInfo record, normally a static object inside the DLL:
 *
 *     static PluginInfo g_info;
 *     TW_PLUGIN_EXPORT PluginInfo* __cdecl GetPluginInfo(void) { ...; return &g_info; }
 *
 * The host accepts a record when dwVersion is TW_PLUGIN_VERSION_1 or
 * TW_PLUGIN_VERSION_2, dwSize is 315, pszName is a non-empty name that no
 * other loaded plug-in uses (letter case ignored) and nKind is 1 or 2.
 *
 * Calls and their order: Initialize once after the main window exists (and
 * again after each change of the interface language, which rebuilds the
 * window); Execute for each menu selection; Configure and About from the
 * Options dialog; Finalize once before the main window is destroyed. All
 * calls come on the program's GUI thread, one at a time.
 *
 * Rules:
 *  - Every entry point is cdecl: int __cdecl Entry(PluginInfo* pInfo). The
 *    host only uses the result of Execute: 1 asks for a refresh of the views.
 *  - pszName and pszDescription must stay valid while the DLL is loaded. The
 *    host reads at most 259 characters of each.
 *  - pData and nCount are valid only during Execute: copy what you need to
 *    keep. For kind 1 pData points to nCount process ids (DWORD), for kind 2
 *    to nCount pointers to zero-terminated file paths.
 *  - Use hwndMain as the owner of your windows. During Configure it is the
 *    Options page; keep no copy of it beyond the call.
 *  - Finalize must end every thread the plug-in started and destroy every
 *    window it created: the DLL is unloaded after the last Finalize.
 *  - No C++ exception may leave an entry point: catch everything inside.
 *    (A throw that crosses into the host ends the program on some
 *    compilers' run-times before any handler of the host can run.)
 *  - wLanguageId is the language of the program's interface (1033 English,
 *    0x0407 German, ...): use it to pick the language of your own texts.
 */
#ifndef TARNWICK_PLUGIN_H
#define TARNWICK_PLUGIN_H

#include <windows.h>
#include <stddef.h>

#define TW_PLUGIN_VERSION_1 0x00010001UL
#define TW_PLUGIN_VERSION_2 0x00010002UL
#define TW_PLUGIN_VERSION TW_PLUGIN_VERSION_2
#ifdef _WIN64
/* 64-bit builds exist only to run the test suites on machines without 32-bit support. */
#define TW_PLUGIN_RECORD_SIZE 355
#else
#define TW_PLUGIN_RECORD_SIZE 315
#endif

/* nKind: what Execute receives in pData. */
#define TW_PLUGIN_KIND_PROCESSES 1 /* process ids */
#define TW_PLUGIN_KIND_FILES 2     /* file paths */

#ifdef __cplusplus
#define TW_PLUGIN_EXPORT extern "C" __declspec(dllexport)
extern "C" {
#else
#define TW_PLUGIN_EXPORT __declspec(dllexport)
#endif

struct PluginInfo;
typedef int(__cdecl* PFN_PLUGIN_ENTRY)(struct PluginInfo* pInfo);
typedef struct PluginInfo*(__cdecl* PFN_GET_PLUGIN_INFO)(void);

#pragma pack(push, 1)
typedef struct PluginInfo {
    DWORD dwVersion;            /*   0 plug-in: TW_PLUGIN_VERSION */
    DWORD dwSize;               /*   4 plug-in: TW_PLUGIN_RECORD_SIZE */
    const char* pszName;        /*   8 plug-in: menu text and identity */
    const char* pszDescription; /*  12 plug-in: shown in the Options dialog */
    BYTE nKind;                 /*  16 plug-in: TW_PLUGIN_KIND_* */
    HWND hwndMain;              /*  17 host: owner for your windows */
    HMODULE hModule;            /*  21 host: the plug-in DLL */
    DWORD dwReserved;           /*  25 not used */
    PFN_PLUGIN_ENTRY Initialize; /* 29 plug-in */
    PFN_PLUGIN_ENTRY Finalize;  /*  33 plug-in */
    PFN_PLUGIN_ENTRY Configure; /*  37 plug-in, may be null */
    PFN_PLUGIN_ENTRY Execute;   /*  41 plug-in */
    PFN_PLUGIN_ENTRY About;     /*  45 plug-in, may be null */
    void* pData;                /*  49 host, during Execute only */
    DWORD nCount;               /*  53 host, during Execute only */
    WORD wLanguageId;           /*  57 host, before Initialize */
    BYTE abUnused[256];         /*  59 not used */
} PluginInfo;
#pragma pack(pop)

/* Execute's data, typed. */
#define TW_PLUGIN_PIDS(pInfo) ((const DWORD*)(pInfo)->pData)
#define TW_PLUGIN_PATHS(pInfo) ((const char* const*)(pInfo)->pData)

/* The layout is fixed: these fail to compile when a compiler packs it otherwise. */
#define TW_PLUGIN_CHECK(name, condition) typedef char name[(condition) ? 1 : -1]
#ifdef _WIN64
TW_PLUGIN_CHECK(tw_plugin_check_size, sizeof(PluginInfo) == TW_PLUGIN_RECORD_SIZE);
#else
TW_PLUGIN_CHECK(tw_plugin_check_pointer, sizeof(void*) == 4);
TW_PLUGIN_CHECK(tw_plugin_check_size, sizeof(PluginInfo) == TW_PLUGIN_RECORD_SIZE);
TW_PLUGIN_CHECK(tw_plugin_check_name, offsetof(PluginInfo, pszName) == 8);
TW_PLUGIN_CHECK(tw_plugin_check_description, offsetof(PluginInfo, pszDescription) == 12);
TW_PLUGIN_CHECK(tw_plugin_check_kind, offsetof(PluginInfo, nKind) == 16);
TW_PLUGIN_CHECK(tw_plugin_check_main, offsetof(PluginInfo, hwndMain) == 17);
TW_PLUGIN_CHECK(tw_plugin_check_module, offsetof(PluginInfo, hModule) == 21);
TW_PLUGIN_CHECK(tw_plugin_check_initialize, offsetof(PluginInfo, Initialize) == 29);
TW_PLUGIN_CHECK(tw_plugin_check_finalize, offsetof(PluginInfo, Finalize) == 33);
TW_PLUGIN_CHECK(tw_plugin_check_configure, offsetof(PluginInfo, Configure) == 37);
TW_PLUGIN_CHECK(tw_plugin_check_execute, offsetof(PluginInfo, Execute) == 41);
TW_PLUGIN_CHECK(tw_plugin_check_about, offsetof(PluginInfo, About) == 45);
TW_PLUGIN_CHECK(tw_plugin_check_data, offsetof(PluginInfo, pData) == 49);
TW_PLUGIN_CHECK(tw_plugin_check_count, offsetof(PluginInfo, nCount) == 53);
TW_PLUGIN_CHECK(tw_plugin_check_language, offsetof(PluginInfo, wLanguageId) == 57);
#endif

#ifdef __cplusplus
}
#endif

#endif /* TARNWICK_PLUGIN_H */
