#ifndef ORVOSYSUTILS_BUILD
#define ORVOSYSUTILS_BUILD
#endif
#include "sysutils/Orvo_SystemUtilities.h"

#include "sysutils/ADVAPI32Wrapper.h"
#include "sysutils/Crc32.h"
#include "sysutils/Md5.h"
#include "sysutils/OsVersion.h"
#include "sysutils/TextHelpers.h"
#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"

#include <shlobj.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// This library is built without the C++ runtime (no exceptions, no standard
// library beyond the C functions of msvcrt): texts live in fixed buffers.

namespace {

// Process-wide state of FindFilesRecursive.
int g_findMatchCount = 0;
int g_findDepth = 0;

struct PrivilegeApi {
    typedef BOOL(WINAPI* PFN_OpenProcessToken)(HANDLE, DWORD, PHANDLE);
    typedef BOOL(WINAPI* PFN_LookupPrivilegeValueA)(LPCSTR, LPCSTR, PLUID);
    typedef BOOL(WINAPI* PFN_AdjustTokenPrivileges)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD,
                                                    PTOKEN_PRIVILEGES, PDWORD);
    HMODULE library = nullptr;
    PFN_OpenProcessToken openProcessToken = nullptr;
    PFN_LookupPrivilegeValueA lookupPrivilegeValue = nullptr;
    PFN_AdjustTokenPrivileges adjustTokenPrivileges = nullptr;

    bool Load()
    {
        library = LoadLibraryA("Advapi32.dll");
        if (!library) return false;
        openProcessToken = reinterpret_cast<PFN_OpenProcessToken>(
            reinterpret_cast<void*>(GetProcAddress(library, "OpenProcessToken")));
        lookupPrivilegeValue = reinterpret_cast<PFN_LookupPrivilegeValueA>(
            reinterpret_cast<void*>(GetProcAddress(library, "LookupPrivilegeValueA")));
        adjustTokenPrivileges = reinterpret_cast<PFN_AdjustTokenPrivileges>(
            reinterpret_cast<void*>(GetProcAddress(library, "AdjustTokenPrivileges")));
        return openProcessToken && lookupPrivilegeValue && adjustTokenPrivileges;
    }
    ~PrivilegeApi()
    {
        if (library) {
            DWORD error = GetLastError();
            FreeLibrary(library);
            SetLastError(error);
        }
    }
};

void CloseIfOpen(HANDLE handle)
{
    if (handle && handle != INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        CloseHandle(handle);
        SetLastError(error);
    }
}

// Appends `text` to the terminated `buffer` of `size` bytes, cutting it
// short when it does not fit; false when it was cut.
bool Append(char* buffer, size_t size, const char* text)
{
    size_t used = std::strlen(buffer);
    while (*text && used + 1 < size) buffer[used++] = *text++;
    buffer[used] = '\0';
    return *text == '\0';
}

// "\\DOMAIN\NAME" into `buffer` of `size` bytes, cut short when it does not fit.
void AccountText(char* buffer, size_t size, const char* domain, const char* name)
{
    if (size == 0) return;
    buffer[0] = '\0';
    Append(buffer, size, "\\\\");
    Append(buffer, size, domain);
    Append(buffer, size, "\\");
    Append(buffer, size, name);
}

// Long enough for any path FindFirstFileA can take, with room to spare.
const size_t kFindPath = 2 * MAX_PATH;

// `extension` is upper case; null when nothing can match (longer than any name).
int FindFilesIn(const char* folder, const char* extension, FindFilesCallback callback, LPARAM userValue)
{
    char path[kFindPath] = {};
    if (!Append(path, sizeof(path), folder) || !Append(path, sizeof(path), "\\*.*")) return -1;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE) return -1;
    do {
        const DWORD attributes = data.dwFileAttributes;
        const bool isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool isSystem = (attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
        char upper[MAX_PATH] = {};
        lstrcpynA(upper, data.cFileName, sizeof(upper));
        CharUpperBuffA(upper, static_cast<DWORD>(std::strlen(upper)));
        path[0] = '\0';
        const bool fits = Append(path, sizeof(path), folder) && Append(path, sizeof(path), "\\");
        if ((!isDirectory || isSystem) && extension && std::strstr(upper, extension)) {
            ++g_findMatchCount;
            if (callback) {
                char lower[MAX_PATH] = {};
                lstrcpynA(lower, data.cFileName, sizeof(lower));
                CharLowerBuffA(lower, static_cast<DWORD>(std::strlen(lower)));
                if (fits && Append(path, sizeof(path), lower)) callback(path, userValue);
            }
        } else if (isDirectory && !isSystem && std::strcmp(data.cFileName, ".") != 0
                   && std::strcmp(data.cFileName, "..") != 0) {
            if (fits && Append(path, sizeof(path), data.cFileName)) {
                ++g_findDepth;
                FindFilesIn(path, extension, callback, userValue);
                --g_findDepth;
            }
        }
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return 0;
}

} // namespace

extern "C" {

void WINAPI ShowLastError(DWORD errorCode, BYTE showBox)
{
    if (errorCode == 0) return;
    char* message = nullptr;
    FormatMessageA(0x1300, nullptr, errorCode, 0x400, reinterpret_cast<LPSTR>(&message), 0, nullptr);
    if (showBox) {
        MessageBoxA(nullptr, message ? message : "", "GetLastError returned:", MB_ICONEXCLAMATION);
    } else {
        DebugOutput::Write("GetLastError returned: ");
        DebugOutput::Write(message ? message : "");
    }
    if (message) LocalFree(message);
}

DWORD WINAPI GetPlatformId(void)
{
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) return 0;
    return info.dwPlatformId;
}

DWORD WINAPI EnablePrivilege(const char* privilegeName)
{
    if (GetPlatformId() != VER_PLATFORM_WIN32_NT) return 0;

    SetLastError(0);
    PrivilegeApi api;
    if (!api.Load()) return GetLastError();

    SetLastError(0);
    HANDLE process = OpenProcess(0x1F0FFF, FALSE, GetCurrentProcessId());
    if (!process || process == INVALID_HANDLE_VALUE) return GetLastError();

    HANDLE token = nullptr;
    const char* failure = nullptr;
    SetLastError(0);
    if (!api.openProcessToken(process, 0xF0028, &token)) {
        failure = "OpenProcessToken(...) failed.\n";
        token = nullptr;
    }
    LUID luid = {};
    if (!failure) {
        SetLastError(0);
        if (!api.lookupPrivilegeValue(nullptr, privilegeName, &luid))
            failure = "LookupPrivilegeValue(...) failed.\n";
    }
    if (!failure) {
        SetLastError(0);
        TOKEN_PRIVILEGES privileges;
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Luid = luid;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (!api.adjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr))
            failure = "AdjustTokenPrivileges(...) failed.\n";
    }
    DWORD error = GetLastError();
    CloseIfOpen(token);
    CloseIfOpen(process);
    if (failure) DebugOutput::Write(failure);
    SetLastError(error);
    return error;
}

DWORD WINAPI EnableDebugPrivilege(void)
{
    return EnablePrivilege("SeDebugPrivilege");
}

DWORD WINAPI EnableShutdownPrivilege(void)
{
    return EnablePrivilege("SeShutdownPrivilege");
}

DWORD WINAPI SetPrivilege(const char* privilegeName)
{
    if (GetPlatformId() != VER_PLATFORM_WIN32_NT) return 0;

    SetLastError(0);
    PrivilegeApi api;
    if (!api.Load()) return 0;

    SetLastError(0);
    HANDLE process = OpenProcess(0x1F0FFF, FALSE, GetCurrentProcessId());
    if (!process || process == INVALID_HANDLE_VALUE) {
        DebugOutput::Write("OpenProcess(...) failed.\n");
        return 0;
    }
    HANDLE token = nullptr;
    SetLastError(0);
    if (!api.openProcessToken(process, 0xF0020, &token)) {
        DebugOutput::Write("OpenProcessToken(...) failed.\n");
        token = nullptr;
    }
    LUID luid = {};
    SetLastError(0);
    if (!api.lookupPrivilegeValue(nullptr, privilegeName, &luid))
        DebugOutput::Write("LookupPrivilegeValue(...) failed.\n");
    TOKEN_PRIVILEGES privileges;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid = luid;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    SetLastError(0);
    if (!api.adjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr))
        DebugOutput::Write("AdjustTokenPrivilege(...) failed.\n");
    CloseIfOpen(token);
    CloseIfOpen(process);
    return 0;
}

DWORD WINAPI SetDebugPrivilege(void)
{
    return SetPrivilege("SeDebugPrivilege");
}

DWORD WINAPI SetShutdownPrivilege(void)
{
    return SetPrivilege("SeShutdownPrivilege");
}

int WINAPI CopyFileNamePart(const char* path, char* buffer, int bufferSize)
{
    return TextHelpers::CopyFileNamePart(path, buffer, bufferSize);
}

int WINAPI IsWin32Path(const char* path)
{
    return TextHelpers::IsWin32Path(path);
}

int WINAPI FixNativePath(char* path, int bufferSize)
{
    if (bufferSize < 260 || !path || std::strlen(path) > 260) return 0;
    char windowsDir[260] = {};
    GetWindowsDirectoryA(windowsDir, sizeof(windowsDir));
    return TextHelpers::FixNativePath(path, bufferSize, windowsDir);
}

char* WINAPI GetFileNamePart(const char* path)
{
    return const_cast<char*>(TextHelpers::GetFileNamePart(path));
}

DWORD WINAPI BytesToKB(DWORD bytes)
{
    return TextHelpers::BytesToKB(bytes);
}

DWORD WINAPI BytesToMB(DWORD bytes)
{
    return TextHelpers::BytesToMB(bytes);
}

DWORD WINAPI BytesToGB(DWORD bytes)
{
    return TextHelpers::BytesToGB(bytes);
}

int WINAPI PumpMessages(void)
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

BOOL WINAPI SwitchToWindow(HWND window)
{
    DWORD windowThread = GetWindowThreadProcessId(window, nullptr);
    DWORD ownThread = GetCurrentThreadId();
    AttachThreadInput(windowThread, ownThread, TRUE);
    if (IsIconic(window)) OpenIcon(window);
    ShowWindow(window, SW_SHOW);
    ForceForegroundWindow(window);
    const BOOL detached = AttachThreadInput(windowThread, ownThread, FALSE);
    // Detaching can take the activation along with the shared input state
    // (Wine): the window is made foreground once more on its own.
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    return detached;
}

BOOL WINAPI ForceForegroundWindow(HWND window)
{
    DWORD ownThread = GetCurrentThreadId();
    DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    AttachThreadInput(ownThread, foregroundThread, TRUE);
    BOOL result = SetForegroundWindow(window);
    if (!result) DebugOutput::Format(60, "Error %u from SetForegroundWindow\n", static_cast<unsigned>(GetLastError()));
    AttachThreadInput(ownThread, foregroundThread, FALSE);
    return result;
}

double WINAPI RoundToDecimals(double value, int digits)
{
    return TextHelpers::RoundToDecimals(value, digits);
}

int WINAPI GetPersonalFolder(char* buffer, int bufferSize)
{
    if (!buffer || bufferSize < 260) return 260;
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &items)) || !items) return -1;
    BOOL found = SHGetPathFromIDListA(items, buffer);
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(items);
        allocator->Release();
    }
    if (!found) return -1;
    return static_cast<int>(std::strlen(buffer));
}

BOOL WINAPI IsUncPath(const char* path)
{
    return TextHelpers::IsUncPath(path);
}

BOOL WINAPI FileExists(const char* path)
{
    if (!path) return FALSE;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE) return FALSE;
    FindClose(search);
    return TRUE;
}

BOOL WINAPI HasShortNameMarker(const char* text)
{
    return TextHelpers::HasShortNameMarker(text);
}

int WINAPI GetProcessOwner(HANDLE process, char* buffer, DWORD* size)
{
    ADVAPI32Wrapper advapi;
    if (!advapi.HasAllEntryPoints()) return 0;

    EnablePrivilege("SeTcbPrivilege");

    HANDLE token = nullptr;
    if (!advapi.OpenProcessToken(process, TOKEN_QUERY, &token)) return 0;

    DWORD needed = 0;
    advapi.GetTokenInformation(token, TokenUser, nullptr, 0, &needed);
    if (GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed > 0) {
        void* block = HeapAlloc(GetProcessHeap(), 0, needed);
        if (block) {
            if (advapi.GetTokenInformation(token, TokenUser, block, needed, &needed)) {
                char name[260] = {};
                char domain[260] = {};
                DWORD nameSize = sizeof(name);
                DWORD domainSize = sizeof(domain);
                SID_NAME_USE use;
                PSID sid = static_cast<TOKEN_USER*>(block)->User.Sid;
                if (advapi.LookupAccountSid(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) {
                    name[sizeof(name) - 1] = domain[sizeof(domain) - 1] = '\0';
                    DWORD length = static_cast<DWORD>(std::strlen(name) + std::strlen(domain) + 4);
                    if (buffer && size && *size >= length)
                        AccountText(buffer, length, domain, name);
                    else if (size)
                        *size = length;
                }
            }
            HeapFree(GetProcessHeap(), 0, block);
        }
    }
    CloseHandle(token);
    return 1;
}

int WINAPI CompareUnsigned(DWORD a, DWORD b)
{
    return TextHelpers::CompareUnsigned(a, b);
}

DWORD WINAPI Crc32(const void* bytes, DWORD length)
{
    if (!bytes) return Crc32Checksum::Compute("", 0);
    return Crc32Checksum::Compute(bytes, length);
}

int WINAPI GetAccountNameFromSid(PSID sid, char* buffer, int bufferSize)
{
    if (!sid) return -1;
    ADVAPI32Wrapper advapi;
    if (!advapi.HasAllEntryPoints()) return -1;
    char name[260] = {};
    char domain[260] = {};
    DWORD nameSize = sizeof(name);
    DWORD domainSize = sizeof(domain);
    SID_NAME_USE use;
    if (!advapi.LookupAccountSid(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) return 0;
    name[sizeof(name) - 1] = domain[sizeof(domain) - 1] = '\0';
    char work[520];
    AccountText(work, sizeof(work), domain, name);
    int length = static_cast<int>(std::strlen(work));
    if (buffer && length < bufferSize) std::memcpy(buffer, work, static_cast<size_t>(length) + 1);
    return length;
}

int WINAPI CountSetBits(DWORD value)
{
    return TextHelpers::CountSetBits(value);
}

int WINAPI GetModuleFolder(HMODULE module, char* buffer, int bufferSize, BOOL keepSeparator)
{
    char path[260] = {};
    GetModuleFileNameA(module, path, 259);
    char drive[_MAX_DRIVE] = {};
    char dir[_MAX_DIR] = {};
    _splitpath(path, drive, dir, nullptr, nullptr);
    char folder[_MAX_PATH + 1] = {};
    _makepath(folder, drive, dir, nullptr, nullptr);
    int length = static_cast<int>(std::strlen(folder));
    if (buffer && bufferSize >= length) {
        int copied = length;
        if (!keepSeparator && copied > 0 && folder[copied - 1] == '\\') folder[--copied] = '\0';
        // Copy only when the terminator fits as well.
        if (copied < bufferSize) std::memcpy(buffer, folder, static_cast<size_t>(copied) + 1);
    }
    return length;
}

BYTE WINAPI GetAnsiCharset(void)
{
    char codePage[6] = {};
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, codePage, sizeof(codePage)))
        return DEFAULT_CHARSET;
    CHARSETINFO info;
    std::memset(&info, 0, sizeof(info));
    UINT_PTR number = static_cast<UINT_PTR>(std::strtoul(codePage, nullptr, 10));
    if (!TranslateCharsetInfo(reinterpret_cast<DWORD*>(number), &info, TCI_SRCCODEPAGE))
        return DEFAULT_CHARSET;
    return static_cast<BYTE>(info.ciCharset);
}

WORD WINAPI GetUILanguage(void)
{
    WORD language = 0xFFFF;
    if (!GuardedCall::Invoke([&] {
            switch (OsVersion::QueryKind()) {
            case OsVersion::WindowsME:
            case OsVersion::Windows2000:
            case OsVersion::WindowsXP: {
                WrapperBase kernel("kernel32.dll");
                typedef LANGID(WINAPI * Fn)();
                Fn fn = kernel.GetModule() ? reinterpret_cast<Fn>(reinterpret_cast<void*>(
                            GetProcAddress(kernel.GetModule(), "GetUserDefaultUILanguage")))
                                           : nullptr;
                language = fn ? fn() : 0;
                break;
            }
            case OsVersion::Windows95:
            case OsVersion::Windows98:
            case OsVersion::Windows98SE: {
                language = 0xFFFF;
                HKEY key;
                if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop\\ResourceLocale", 0, KEY_ALL_ACCESS,
                                  &key) == ERROR_SUCCESS) {
                    char value[33] = {};
                    DWORD size = 32;
                    if (RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size)
                        == ERROR_SUCCESS) {
                        char* end = value;
                        const unsigned long parsed = std::strtoul(value, &end, 16);
                        if (end != value) language = static_cast<WORD>(parsed);
                    }
                    RegCloseKey(key);
                }
                break;
            }
            case OsVersion::WindowsNT:
                language = 0xFFFF;
                break;
            default:
                language = 0;
                break;
            }
        })) {
        DebugOutput::Format(260, "Exception caught in \"%s\" at line %d\n", "Orvo_SystemUtilities", 981);
        return 0xFFFF;
    }
    return language;
}

int WINAPI FindFilesRecursive(const char* folder, const char* pattern, FindFilesCallback callback,
                              LPARAM userValue)
{
    if (!folder || !pattern) return -1;
    const char* dot = std::strrchr(pattern, '.');
    if (!dot) return -1;
    // An extension longer than any file name matches nothing; the walk still runs.
    char extension[MAX_PATH] = {};
    const bool fits = std::strlen(dot) < sizeof(extension);
    if (fits) {
        lstrcpynA(extension, dot, sizeof(extension));
        CharUpperBuffA(extension, static_cast<DWORD>(std::strlen(extension)));
    }
    const bool outermost = g_findDepth == 0;
    if (outermost) g_findMatchCount = 0;
    int result = FindFilesIn(folder, fits ? extension : nullptr, callback, userValue);
    if (result < 0) return -1;
    return outermost ? g_findMatchCount : 0;
}

char* WINAPI CollapseWhitespace(char* text)
{
    return TextHelpers::CollapseWhitespace(text);
}

char* WINAPI AppendMultiString(char* position, const char* text)
{
    return TextHelpers::AppendMultiString(position, text);
}

void* WINAPI FillBytes(void* buffer, BYTE value, int count)
{
    return TextHelpers::FillBytes(buffer, value, count);
}

char* WINAPI ReplaceChar(char* text, char oldChar, char newChar)
{
    return TextHelpers::ReplaceChar(text, oldChar, newChar);
}

char* WINAPI TrimRight(char* text)
{
    return TextHelpers::TrimRight(text);
}

BOOL WINAPI IsBlank(const char* text)
{
    return TextHelpers::IsBlank(text);
}

char* WINAPI Capitalize(char* text)
{
    return TextHelpers::Capitalize(text);
}

char* WINAPI FindNoCase(const char* text, const char* pattern)
{
    return TextHelpers::FindNoCase(text, pattern);
}

char* WINAPI TrimLeft(char* text)
{
    return TextHelpers::TrimLeft(text);
}

BOOL WINAPI RemoveAll(char* text, const char* pattern)
{
    return TextHelpers::RemoveAll(text, pattern);
}

BOOL WINAPI ChooseFolder(HWND owner, char* buffer, int bufferSize, const char* title)
{
    if (!buffer || bufferSize <= 259) {
        DebugOutput::Write("ChooseFolder: Buffer too short.\n");
        return FALSE;
    }
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) {
        DebugOutput::Write("ChooseFolder: SHGetMalloc failed.\n");
        return FALSE;
    }
    BROWSEINFOA info;
    std::memset(&info, 0, sizeof(info));
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = buffer;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST items = SHBrowseForFolderA(&info);
    if (items) {
        if (!SHGetPathFromIDListA(items, buffer)) buffer[0] = '\0';
        allocator->Free(items);
    } else {
        buffer[0] = '\0';
    }
    allocator->Release();
    return buffer[0] != '\0';
}

int WINAPI FileMD5(const char* path, BYTE digest[16])
{
    if (!path || !digest) {
        SetLastError(ERROR_INVALID_ADDRESS);
        return 0;
    }
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    Md5 md5;
    static const size_t kBlock = 16384;
    unsigned char* block = static_cast<unsigned char*>(LocalAlloc(LMEM_FIXED, kBlock));
    if (!block) {
        std::fclose(file);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    size_t got;
    while ((got = std::fread(block, 1, kBlock, file)) > 0) md5.Update(block, got);
    LocalFree(block);
    std::fclose(file);
    md5.Final(digest);
    return 1;
}

} // extern "C"
