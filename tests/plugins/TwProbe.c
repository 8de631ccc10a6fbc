/*
 * Test plug-in (not shipped): logs every call to the file named by
 * %TW_PROBE_LOG% and returns %TW_PROBE_RESULT% from Execute. Built twice:
 * PROBE_KIND 1 ("Probe Processes", tag probe1) and 2 ("Probe Files", probe2).
 *
 * With %TW_PROBE_WAIT% naming an event, Execute pumps messages until the
 * event is set. A hidden window "TwProbe <tag>" (class TwProbeWindow) lives
 * from Initialize to Finalize; the registered message "TwProbeDumpMenu"
 * makes it log the main window's menu bar (other processes cannot read it).
 */
#include "TarnwickPlugin.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#if PROBE_KIND == 1
#define PROBE_TAG "probe1"
#define PROBE_NAME "Probe Processes"
#else
#define PROBE_TAG "probe2"
#define PROBE_NAME "Probe Files"
#endif

static HINSTANCE g_instance;
static PluginInfo g_info;
static HWND g_window;
static UINT g_dumpMessage;

static void Log(const char* format, ...)
{
    char path[MAX_PATH];
    char line[1200];
    int length;
    va_list args;
    HANDLE file;
    DWORD written;
    if (!GetEnvironmentVariableA("TW_PROBE_LOG", path, sizeof(path))) return;
    length = _snprintf(line, sizeof(line) - 3, "%s ", PROBE_TAG);
    va_start(args, format);
    length += _vsnprintf(line + length, sizeof(line) - 3 - length, format, args);
    va_end(args);
    if (length < 0 || length > (int)sizeof(line) - 3) length = (int)sizeof(line) - 3;
    line[length++] = '\r';
    line[length++] = '\n';
    file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFilePointer(file, 0, NULL, FILE_END);
    WriteFile(file, line, (DWORD)length, &written, NULL);
    CloseHandle(file);
}

static void DumpMenu(HMENU menu, int depth)
{
    int count = GetMenuItemCount(menu);
    int i;
    for (i = 0; i < count; ++i) {
        char text[256] = "";
        MENUITEMINFOA info;
        memset(&info, 0, sizeof(info));
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_TYPE | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof(text) - 1;
        if (!GetMenuItemInfoA(menu, (UINT)i, TRUE, &info)) continue;
        if (info.fType & MFT_SEPARATOR) Log("menu %d -", depth);
        else Log("menu %d %u %s", depth, info.hSubMenu ? 0u : info.wID, text);
        if (info.hSubMenu) DumpMenu(info.hSubMenu, depth + 1);
    }
}

static LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == g_dumpMessage && g_dumpMessage) {
        HMENU bar = IsWindow(g_info.hwndMain) ? GetMenu(g_info.hwndMain) : NULL;
        Log("menubar %s", bar ? "begin" : "none");
        if (bar) DumpMenu(bar, 0);
        Log("menubar end");
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static int __cdecl Initialize(PluginInfo* info)
{
    WNDCLASSA windowClass;
    Log("Initialize lang=0x%04X main=%s", (unsigned)info->wLanguageId, IsWindow(info->hwndMain) ? "yes" : "no");
    g_dumpMessage = RegisterWindowMessageA("TwProbeDumpMenu");
    memset(&windowClass, 0, sizeof(windowClass));
    windowClass.lpfnWndProc = ProbeWindowProc;
    windowClass.hInstance = g_instance;
    windowClass.lpszClassName = "TwProbeWindow";
    RegisterClassA(&windowClass);
    if (!g_window)
        g_window = CreateWindowA("TwProbeWindow", "TwProbe " PROBE_TAG, WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                 g_instance, NULL);
    return 0;
}

static int __cdecl Finalize(PluginInfo* info)
{
    (void)info;
    Log("Finalize");
    if (g_window) DestroyWindow(g_window);
    g_window = NULL;
    UnregisterClassA("TwProbeWindow", g_instance);
    return 0;
}

static void WaitForRelease(void)
{
    char name[200];
    HANDLE event;
    if (!GetEnvironmentVariableA("TW_PROBE_WAIT", name, sizeof(name))) return;
    event = OpenEventA(SYNCHRONIZE, FALSE, name);
    if (!event) return;
    Log("Execute waiting");
    for (;;) {
        MSG message;
        DWORD wait = MsgWaitForMultipleObjects(1, &event, FALSE, 30000, QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + 1) break;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    CloseHandle(event);
}

static int __cdecl Execute(PluginInfo* info)
{
    char value[32];
    int result = 0;
    DWORD i;
    Log("Execute count=%lu", (unsigned long)info->nCount);
    for (i = 0; i < info->nCount; ++i) {
#if PROBE_KIND == 1
        DWORD pid = TW_PLUGIN_PIDS(info)[i];
        Log("pid %lu 0x%08lX", (unsigned long)pid, (unsigned long)pid);
#else
        Log("path %s", TW_PLUGIN_PATHS(info)[i]);
#endif
    }
    WaitForRelease();
    if (GetEnvironmentVariableA("TW_PROBE_RESULT", value, sizeof(value))) result = atoi(value);
    Log("Execute end result=%d", result);
    return result;
}

static int __cdecl Configure(PluginInfo* info)
{
    char className[64] = "";
    GetClassNameA(info->hwndMain, className, sizeof(className));
    Log("Configure owner=%s", className);
    return 0;
}

static int __cdecl About(PluginInfo* info)
{
    char className[64] = "";
    GetClassNameA(info->hwndMain, className, sizeof(className));
    Log("About owner=%s", className);
    return 0;
}

TW_PLUGIN_EXPORT PluginInfo* __cdecl GetPluginInfo(void)
{
    g_info.dwVersion = TW_PLUGIN_VERSION;
    g_info.dwSize = sizeof(PluginInfo);
    g_info.pszName = PROBE_NAME;
    g_info.pszDescription = "Logs every call (test)";
    g_info.nKind = PROBE_KIND;
    g_info.Initialize = Initialize;
    g_info.Finalize = Finalize;
    g_info.Configure = Configure;
    g_info.Execute = Execute;
    g_info.About = About;
    return &g_info;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
    return TRUE;
}
