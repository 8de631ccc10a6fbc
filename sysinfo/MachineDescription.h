#pragma once

#include <cstdint>
#include <string>

// The four facts that describe the machine: computer, OS, local user and
// NetWare user.
class MachineDescription {
public:
    // String 65 and string 66 of the string table.
    static const char* const kDefaultFormat;
    static const char* const kDefaultNetWareLabel;

    // Length of the NetWare user name written to the buffer; 0 when there is none.
    static uint32_t GetNetWareUserName(char* buffer, uint32_t bufferSize);

    static std::string FormatMachineDescription(const std::string& computerName, const std::string& osDescription,
                                                const std::string& userName, const std::string& netWareUser,
                                                const char* format = kDefaultFormat,
                                                const char* netWareLabel = kDefaultNetWareLabel);

    // The live values: computer name (16-byte buffer), user name (261-byte buffer).
    static std::string ComputerName();
    static std::string UserName();
};
