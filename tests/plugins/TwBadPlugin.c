/*
 * Test plug-in (not shipped) that misbehaves in the way its file name says
 * ("bad-<behaviour>.dll"; the tests copy it under each name):
 *   bad-getinfo      GetPluginInfo faults
 *   bad-initialize, bad-finalize, bad-configure, bad-execute, bad-about
 *                    that entry point faults
 *   bad-msvc         Execute raises an MSVC-style C++ exception (0xE06D7363)
 *   bad-dialog       Execute runs a modal dialog whose procedure faults
 *   bad-modeless     Execute opens a modeless dialog, then faults
 *   bad-msgbox       Execute shows a message box without owner, then faults
 *   bad-stdcall      all entry points are stdcall (they pop their argument)
 *   bad-size         dwSize 314
 *   bad-version      dwVersion 0x00010003
 *   bad-case1/2      names that differ only in letter case
 *   bad-nullname     pszName null
 *   bad-unmapped     pszName points to unmapped memory
 *   bad-hugename     pszName: 100000 characters, no terminator in reach
 *   bad-readonly     the record lies in read-only memory
 *   bad-kind3        nKind 3
 *   bad-nullrecord   GetPluginInfo returns null
 *   bad-dllmain      DllMain returns FALSE
 *   bad-config2      no About; Configure logs its owner window to %TW_PROBE_LOG%
 *                    and faults the second time; Execute logs the owner window
 *   bad-execfinal    Execute and Finalize fault
 *   bad-fading       pszName lives on a page of its own that BadPluginHideName()
 *                    (or the registered message "TwBadHideName" to its hidden
 *                    window "TwBad fading", class TwBadWindow) makes unreadable;
 *                    Execute logs the owner window
 */
#include "TarnwickPlugin.h"

#include <stdio.h>
#include <string.h>

static HINSTANCE g_instance;
static PluginInfo g_info;
static char g_behaviour[64];
static char g_name[80];
static int g_calls;

static char g_hugeName[100000 + 16];

static int Is(const char* behaviour)
{
    return strcmp(g_behaviour, behaviour) == 0;
}

static char* g_fadingName;
static HWND g_fadingWindow;
static UINT g_hideMessage;

static void Fault(void)
{
    *(volatile int*)0 = 1;
}

static void ModeOf(HINSTANCE instance)
{
    char path[MAX_PATH] = "";
    char* name;
    char* dot;
    GetModuleFileNameA(instance, path, sizeof(path));
    CharLowerA(path);
    name = strrchr(path, '\\');
    name = name ? name + 1 : path;
    if (strncmp(name, "bad-", 4) == 0) name += 4;
    dot = strchr(name, '.');
    if (dot) *dot = '\0';
    lstrcpynA(g_behaviour, name, sizeof(g_behaviour));
}

/* A dialog template in memory: a caption, no controls. */
typedef struct DialogTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass;
    WCHAR title[32];
} DialogTemplate;

static void MakeTemplate(DialogTemplate* dialog, const WCHAR* title)
{
    memset(dialog, 0, sizeof(*dialog));
    dialog->header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER | DS_MODALFRAME;
    dialog->header.cx = 160;
    dialog->header.cy = 60;
    lstrcpynW(dialog->title, title, 32);
}

static INT_PTR CALLBACK FaultingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    if (message == WM_INITDIALOG) {
        PostMessageA(dialog, WM_APP, 0, 0);
        return TRUE;
    }
    if (message == WM_APP) Fault();
    return FALSE;
}

static INT_PTR CALLBACK QuietDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)dialog;
    (void)wParam;
    (void)lParam;
    return message == WM_INITDIALOG;
}

/* One line to the file named by %TW_PROBE_LOG%. */
static void Log(const char* what, HWND window)
{
    char path[MAX_PATH];
    char line[200];
    char className[64] = "";
    HANDLE file;
    DWORD written;
    int length;
    if (!GetEnvironmentVariableA("TW_PROBE_LOG", path, sizeof(path))) return;
    GetClassNameA(window, className, sizeof(className));
    length = _snprintf(line, sizeof(line) - 2, "%s %s window=%lu class=%s", g_name, what,
                       (unsigned long)(ULONG_PTR)window, className);
    if (length < 0) length = (int)sizeof(line) - 2;
    line[length++] = '\r';
    line[length++] = '\n';
    file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFilePointer(file, 0, NULL, FILE_END);
    WriteFile(file, line, (DWORD)length, &written, NULL);
    CloseHandle(file);
}

static int g_configured;

/* The name of bad-fading becomes unreadable. */
TW_PLUGIN_EXPORT void __cdecl BadPluginHideName(void)
{
    DWORD old;
    if (g_fadingName) VirtualProtect(g_fadingName, 4096, PAGE_NOACCESS, &old);
    Log("name hidden", NULL);
}

static LRESULT CALLBACK FadingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == g_hideMessage && g_hideMessage) {
        BadPluginHideName();
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void CreateFadingWindow(void)
{
    WNDCLASSA windowClass;
    if (g_fadingWindow) return;
    g_hideMessage = RegisterWindowMessageA("TwBadHideName");
    memset(&windowClass, 0, sizeof(windowClass));
    windowClass.lpfnWndProc = FadingWindowProc;
    windowClass.hInstance = g_instance;
    windowClass.lpszClassName = "TwBadWindow";
    RegisterClassA(&windowClass);
    g_fadingWindow = CreateWindowA("TwBadWindow", "TwBad fading", WS_POPUP, 0, 0, 1, 1, NULL, NULL, g_instance, NULL);
}

static int Common(int entry)
{
    ++g_calls;
    switch (entry) {
    case 0:
        if (Is("initialize")) Fault();
        if (Is("fading")) CreateFadingWindow();
        break;
    case 1:
        if (Is("finalize") || Is("execfinal")) Fault();
        break;
    case 2:
        if (Is("configure")) Fault();
        if (Is("config2")) {
            Log("configure", g_info.hwndMain);
            if (++g_configured == 2) Fault();
        }
        break;
    case 4: if (Is("about")) Fault(); break;
    case 3:
        if (Is("config2") || Is("fading")) Log("execute", g_info.hwndMain);
        if (Is("execute") || Is("execfinal")) Fault();
        if (Is("msvc")) RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 0, NULL);
        if (Is("dialog")) {
            DialogTemplate dialog;
            MakeTemplate(&dialog, L"Bad dialog");
            DialogBoxIndirectParamA(g_instance, &dialog.header, g_info.hwndMain, FaultingDialogProc, 0);
        }
        if (Is("modeless")) {
            DialogTemplate dialog;
            MakeTemplate(&dialog, L"Bad modeless");
            CreateDialogIndirectParamA(g_instance, &dialog.header, g_info.hwndMain, QuietDialogProc, 0);
            Fault();
        }
        if (Is("msgbox")) {
            MessageBoxA(NULL, "An ownerless message box", "Bad msgbox", MB_OK);
            Fault();
        }
        break;
    }
    return 0;
}

static int __cdecl Initialize(PluginInfo* info) { (void)info; return Common(0); }
static int __cdecl Finalize(PluginInfo* info) { (void)info; return Common(1); }
static int __cdecl Configure(PluginInfo* info) { (void)info; return Common(2); }
static int __cdecl Execute(PluginInfo* info) { (void)info; return Common(3); }
static int __cdecl About(PluginInfo* info) { (void)info; return Common(4); }

/* The same built with the wrong convention: each pops its argument. */
static int __stdcall InitializeStd(PluginInfo* info) { (void)info; return Common(0); }
static int __stdcall FinalizeStd(PluginInfo* info) { (void)info; return Common(1); }
static int __stdcall ConfigureStd(PluginInfo* info) { (void)info; return Common(2); }
static int __stdcall ExecuteStd(PluginInfo* info) { (void)info; return Common(3); }
static int __stdcall AboutStd(PluginInfo* info) { (void)info; return Common(4); }

static const PluginInfo g_readOnly = {
    TW_PLUGIN_VERSION, sizeof(PluginInfo), "Bad readonly", "A record in read-only memory", 1, NULL, NULL, 0,
    Initialize, Finalize, Configure, Execute, About, NULL, 0, 0, {0},
};

TW_PLUGIN_EXPORT PluginInfo* __cdecl GetPluginInfo(void)
{
    if (Is("getinfo")) Fault();
    if (Is("nullrecord")) return NULL;
    if (Is("readonly")) return (PluginInfo*)&g_readOnly;

    strcpy(g_name, "Bad ");
    strncat(g_name, g_behaviour, sizeof(g_name) - 5);
    g_info.dwVersion = Is("version") ? 0x00010003UL : TW_PLUGIN_VERSION;
    g_info.dwSize = Is("size") ? 314 : sizeof(PluginInfo);
    g_info.pszName = g_name;
    g_info.pszDescription = "Misbehaves (test)";
    g_info.nKind = Is("kind3") ? 3 : 1;
    if (Is("case1")) g_info.pszName = "Case Twin";
    if (Is("case2")) g_info.pszName = "CASE TWIN";
    if (Is("nullname")) g_info.pszName = NULL;
    if (Is("unmapped")) g_info.pszName = (const char*)0x10;
    if (Is("fading")) {
        if (!g_fadingName) g_fadingName = (char*)VirtualAlloc(NULL, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (g_fadingName) {
            strcpy(g_fadingName, g_name);
            g_info.pszName = g_fadingName;
        }
    }
    if (Is("hugename")) {
        memset(g_hugeName, 'H', sizeof(g_hugeName));
        g_info.pszName = g_hugeName;
    }
    if (Is("stdcall")) {
        g_info.Initialize = (PFN_PLUGIN_ENTRY)InitializeStd;
        g_info.Finalize = (PFN_PLUGIN_ENTRY)FinalizeStd;
        g_info.Configure = (PFN_PLUGIN_ENTRY)ConfigureStd;
        g_info.Execute = (PFN_PLUGIN_ENTRY)ExecuteStd;
        g_info.About = (PFN_PLUGIN_ENTRY)AboutStd;
    } else {
        g_info.Initialize = Initialize;
        g_info.Finalize = Finalize;
        g_info.Configure = Configure;
        g_info.Execute = Execute;
        g_info.About = Is("config2") ? NULL : About;
    }
    return &g_info;
}

/* How many entry points ran (for the tests' stdcall check). */
TW_PLUGIN_EXPORT int __cdecl BadPluginCalls(void)
{
    return g_calls;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        ModeOf(instance);
        if (Is("dllmain")) return FALSE;
    }
    return TRUE;
}
