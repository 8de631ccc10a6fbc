#pragma once

// Exports of OrvoSysUtils.dll, called by ordinal.

#include <windows.h>

// Plain declarations: programs reach the exports through the import
// library's stubs, the tests link a static copy of the same code.
#define ORVOSYSUTILS_API

typedef void(WINAPI* FindFilesCallback)(const char* path, LPARAM userValue);

#ifdef __cplusplus
extern "C" {
#endif

ORVOSYSUTILS_API void WINAPI ShowLastError(DWORD errorCode, BYTE showBox);                  // 1
ORVOSYSUTILS_API DWORD WINAPI GetPlatformId(void);                                           // 2
ORVOSYSUTILS_API DWORD WINAPI EnablePrivilege(const char* privilegeName);                   // 3
ORVOSYSUTILS_API DWORD WINAPI EnableDebugPrivilege(void);                                    // 4
ORVOSYSUTILS_API DWORD WINAPI EnableShutdownPrivilege(void);                                 // 5
ORVOSYSUTILS_API DWORD WINAPI SetPrivilege(const char* privilegeName);                      // 6
ORVOSYSUTILS_API DWORD WINAPI SetDebugPrivilege(void);                                       // 7
ORVOSYSUTILS_API DWORD WINAPI SetShutdownPrivilege(void);                                    // 8
ORVOSYSUTILS_API int WINAPI CopyFileNamePart(const char* path, char* buffer, int bufferSize); // 9
ORVOSYSUTILS_API int WINAPI IsWin32Path(const char* path);                                   // 10
ORVOSYSUTILS_API int WINAPI FixNativePath(char* path, int bufferSize);                       // 11
ORVOSYSUTILS_API char* WINAPI GetFileNamePart(const char* path);                             // 12
ORVOSYSUTILS_API DWORD WINAPI BytesToKB(DWORD bytes);                                        // 13
ORVOSYSUTILS_API DWORD WINAPI BytesToMB(DWORD bytes);                                        // 14
ORVOSYSUTILS_API DWORD WINAPI BytesToGB(DWORD bytes);                                        // 15
ORVOSYSUTILS_API int WINAPI PumpMessages(void);                                              // 16
ORVOSYSUTILS_API BOOL WINAPI SwitchToWindow(HWND window);                                    // 17
ORVOSYSUTILS_API BOOL WINAPI ForceForegroundWindow(HWND window);                             // 18
ORVOSYSUTILS_API double WINAPI RoundToDecimals(double value, int digits);                    // 19
ORVOSYSUTILS_API int WINAPI GetPersonalFolder(char* buffer, int bufferSize);                 // 20
ORVOSYSUTILS_API BOOL WINAPI IsUncPath(const char* path);                                    // 21
ORVOSYSUTILS_API BOOL WINAPI FileExists(const char* path);                                   // 22
ORVOSYSUTILS_API BOOL WINAPI HasShortNameMarker(const char* text);                           // 23
ORVOSYSUTILS_API int WINAPI GetProcessOwner(HANDLE process, char* buffer, DWORD* size);      // 24
ORVOSYSUTILS_API int WINAPI CompareUnsigned(DWORD a, DWORD b);                               // 25
ORVOSYSUTILS_API DWORD WINAPI Crc32(const void* bytes, DWORD length);                        // 26
ORVOSYSUTILS_API int WINAPI GetAccountNameFromSid(PSID sid, char* buffer, int bufferSize);   // 27
ORVOSYSUTILS_API int WINAPI CountSetBits(DWORD value);                                       // 28
ORVOSYSUTILS_API int WINAPI GetModuleFolder(HMODULE module, char* buffer, int bufferSize,
                                            BOOL keepSeparator);                             // 29
ORVOSYSUTILS_API BYTE WINAPI GetAnsiCharset(void);                                           // 30
ORVOSYSUTILS_API WORD WINAPI GetUILanguage(void);                                            // 31
ORVOSYSUTILS_API int WINAPI FindFilesRecursive(const char* folder, const char* pattern,
                                               FindFilesCallback callback, LPARAM userValue); // 32
ORVOSYSUTILS_API char* WINAPI CollapseWhitespace(char* text);                                // 33
ORVOSYSUTILS_API char* WINAPI AppendMultiString(char* position, const char* text);           // 34
ORVOSYSUTILS_API void* WINAPI FillBytes(void* buffer, BYTE value, int count);                // 35
ORVOSYSUTILS_API char* WINAPI ReplaceChar(char* text, char oldChar, char newChar);           // 36
ORVOSYSUTILS_API char* WINAPI TrimRight(char* text);                                         // 37
ORVOSYSUTILS_API BOOL WINAPI IsBlank(const char* text);                                      // 38
ORVOSYSUTILS_API char* WINAPI Capitalize(char* text);                                        // 39
ORVOSYSUTILS_API char* WINAPI FindNoCase(const char* text, const char* pattern);             // 40
ORVOSYSUTILS_API char* WINAPI TrimLeft(char* text);                                          // 41
ORVOSYSUTILS_API BOOL WINAPI RemoveAll(char* text, const char* pattern);                     // 42
ORVOSYSUTILS_API BOOL WINAPI ChooseFolder(HWND owner, char* buffer, int bufferSize,
                                          const char* title);                                // 43
ORVOSYSUTILS_API int WINAPI FileMD5(const char* path, BYTE digest[16]);                      // 44

#ifdef __cplusplus
}
#endif
