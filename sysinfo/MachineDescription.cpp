#include "sysinfo/MachineDescription.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"
#include "sysutils/MessageTemplate.h"

#include <windows.h>
#include <cstring>

const char* const MachineDescription::kDefaultFormat = "Machine: %s\r\nOS: %s\r\nLocal User: %s";
const char* const MachineDescription::kDefaultNetWareLabel = "NetWare User";

namespace {
const size_t kMaxText = 4096;
}

namespace {
typedef WORD NWCCODE;
typedef DWORD NWCONN_HANDLE;
typedef NWCCODE(WINAPI* PFN_NWCallsInit)(void*, void*);
typedef NWCCODE(WINAPI* PFN_NWCallsTerm)(void*);
typedef NWCCODE(WINAPI* PFN_NWGetDefaultConnectionID)(NWCONN_HANDLE*);
typedef NWCCODE(WINAPI* PFN_NWGetConnectionNumber)(NWCONN_HANDLE, WORD*);
typedef NWCCODE(WINAPI* PFN_NWGetConnectionInformation)(NWCONN_HANDLE, WORD, char*, WORD*, DWORD*, BYTE*);

// Runs one NetWare call under the guard; false on a fault or a non-zero code.
template <class F>
bool NetWareStep(F&& call, const char* faultLine)
{
    NWCCODE code = 0xFFFF;
    if (!GuardedCall::Invoke([&] { code = call(); })) {
        DebugOutput::Write(faultLine);
        return false;
    }
    return code == 0;
}

template <class T>
T Entry(HMODULE library, const char* name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
} // namespace

uint32_t MachineDescription::GetNetWareUserName(char* buffer, uint32_t bufferSize)
{
    if (!buffer) return 0;
    HMODULE library = LoadLibraryA("CALWIN32.DLL");
    if (!library) return 0;
    auto init = Entry<PFN_NWCallsInit>(library, "NWCallsInit");
    auto term = Entry<PFN_NWCallsTerm>(library, "NWCallsTerm");
    auto defaultConnection = Entry<PFN_NWGetDefaultConnectionID>(library, "NWGetDefaultConnectionID");
    auto connectionNumber = Entry<PFN_NWGetConnectionNumber>(library, "NWGetConnectionNumber");
    auto connectionInformation = Entry<PFN_NWGetConnectionInformation>(library, "NWGetConnectionInformation");
    if (!init || !term || !defaultConnection || !connectionNumber || !connectionInformation) {
        FreeLibrary(library);
        return 0;
    }
    NWCONN_HANDLE connection = 0;
    WORD number = 0;
    char objectName[260] = {};
    WORD objectType = 0;
    DWORD objectId = 0;
    BYTE loginTime[7] = {};
    const bool ok =
        NetWareStep([&] { return init(nullptr, nullptr); }, "(*fpNWCallsInit) failed\n")
        && NetWareStep([&] { return defaultConnection(&connection); }, "(*fpNWGetDefaultConnectionID) failed\n")
        && NetWareStep([&] { return connectionNumber(connection, &number); }, "(*fpNWGetConnectionNumber) failed\n")
        && NetWareStep([&] { return connectionInformation(connection, number, objectName, &objectType, &objectId,
                                                          loginTime); },
                       "(*fpNWGetConnectionInformation) failed\n")
        && NetWareStep([&] { return term(nullptr); }, "(*fpNWCallsTerm) failed\n");
    objectName[sizeof(objectName) - 1] = '\0';
    uint32_t length = 0;
    if (ok && objectName[0] && bufferSize > 0) {
        const char* name = objectName[0] == '.' ? objectName + 1 : objectName;
        std::strncpy(buffer, name, bufferSize);
        buffer[bufferSize - 1] = '\0';
        length = static_cast<uint32_t>(std::strlen(buffer));
    }
    FreeLibrary(library);
    return length;
}

std::string MachineDescription::FormatMachineDescription(const std::string& computerName,
                                                         const std::string& osDescription,
                                                         const std::string& userName, const std::string& netWareUser,
                                                         const char* format, const char* netWareLabel)
{
    // A format from a string table takes exactly three texts, else the program's own is used.
    std::string text = MessageTemplate::FormatChecked(format ? format : kDefaultFormat, kDefaultFormat,
                                                      {computerName, osDescription, userName}, kMaxText);
    if (!netWareUser.empty()) {
        text += "\r\n";
        text += netWareLabel ? netWareLabel : kDefaultNetWareLabel;
        text += ": ";
        text += netWareUser;
    }
    return text;
}

std::string MachineDescription::ComputerName()
{
    char name[16] = {};
    DWORD size = sizeof(name);
    if (!GetComputerNameA(name, &size)) return std::string();
    name[sizeof(name) - 1] = '\0';
    return name;
}

std::string MachineDescription::UserName()
{
    char name[261] = {};
    DWORD size = sizeof(name);
    if (!GetUserNameA(name, &size)) return std::string();
    name[sizeof(name) - 1] = '\0';
    return name;
}
