/* tw-reloc.dll: linked at 0x00400000, where the program's own image sits, so
   the loader always relocates it. */
#include <windows.h>

__declspec(dllexport) int TwRelocValue(void)
{
    static int value = 42;
    return value;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
