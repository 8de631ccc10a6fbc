#include "sysinfo/LocalFiles.h"

#include "sysinfo/PathLocation.h"

#include <windows.h>

#include <vector>

namespace {
bool IsRemoteDrive(char drive)
{
    // The drive type comes from the mapping itself: asking does not reach the server.
    const char root[4] = {drive, ':', '\\', '\0'};
    return GetDriveTypeA(root) == DRIVE_REMOTE;
}
} // namespace

bool LocalFiles::IsNetworkPath(const std::string& path)
{
    return PathLocation::IsNetwork(path, IsRemoteDrive);
}

std::string LocalFiles::LocalSearchPath()
{
    std::vector<std::string> folders;
    char buffer[MAX_PATH + 1] = {};
    if (GetCurrentDirectoryA(sizeof(buffer), buffer) && buffer[0]) folders.push_back(buffer);
    if (GetSystemDirectoryA(buffer, sizeof(buffer))) folders.push_back(buffer);
    if (GetWindowsDirectoryA(buffer, sizeof(buffer))) folders.push_back(buffer);
    const DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
    if (size > 0 && size < 32768) {
        std::vector<char> path(size + 1);
        const DWORD length = GetEnvironmentVariableA("PATH", path.data(), size + 1);
        std::string entries(path.data(), length < size + 1 ? length : 0);
        size_t start = 0;
        while (start <= entries.size()) {
            const size_t end = entries.find(';', start);
            std::string entry = entries.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"') entry = entry.substr(1, entry.size() - 2);
            if (!entry.empty()) folders.push_back(entry);
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    std::string joined;
    for (const std::string& folder : folders) {
        if (IsNetworkPath(folder)) continue;
        if (!joined.empty()) joined += ';';
        joined += folder;
    }
    return joined;
}
