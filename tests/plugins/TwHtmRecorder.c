/*
 * Test program (not shipped) that stands in for a browser: the e2e tests
 * register it as the "open" command of .htm files. Appends its arguments
 * after the first to the file named by the first, one line per start.
 */
#include <windows.h>
#include <stdlib.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    HANDLE file;
    DWORD written;
    int i;
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    if (__argc < 2) return 2;
    file = CreateFileA(__argv[1], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    SetFilePointer(file, 0, NULL, FILE_END);
    for (i = 2; i < __argc; ++i) {
        if (i > 2) WriteFile(file, " ", 1, &written, NULL);
        WriteFile(file, __argv[i], (DWORD)lstrlenA(__argv[i]), &written, NULL);
    }
    WriteFile(file, "\r\n", 2, &written, NULL);
    CloseHandle(file);
    return 0;
}
