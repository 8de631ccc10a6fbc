/* Test plug-in (not shipped): a DLL without "GetPluginInfo". */
#include <windows.h>

__declspec(dllexport) int __cdecl SomethingElse(void)
{
    return 42;
}
