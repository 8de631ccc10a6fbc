#include "sysinfo/LocalFiles.h"

#include "sysinfo/PathLocation.h"

#include <windows.h>

#include <vector>

namespace {
// The answer per drive letter for about a second: a refresh asks for every
// module, and each question is a round trip to the system. Entries hold the
// tick of the answer with its low bit set for a remote drive; races only ask again.
volatile LONG driveAnswers[26];
const DWORD kAnswerLifetime = 1000;

bool IsRemoteDrive(char drive)
{
    if (drive < 'A' || drive > 'Z') return false;
    volatile LONG& entry = driveAnswers[drive - 'A'];
    const DWORD now = GetTickCount() | 2;  // never 0: 0 is "not asked yet"
    const DWORD known = static_cast<DWORD>(entry);
    if (known && now - (known & ~1UL) < kAnswerLifetime) return (known & 1) != 0;
    // The drive type comes from the mapping itself: asking does not reach the server.
    const char root[4] = {drive, ':', '\\', '\0'};
    const bool remote = GetDriveTypeA(root) == DRIVE_REMOTE;
    entry = static_cast<LONG>((now & ~1UL) | (remote ? 1 : 0));
    return remote;
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
