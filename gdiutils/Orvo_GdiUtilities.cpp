// OrvoGdiUtils.dll: colour and bitmap drawing helpers.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
