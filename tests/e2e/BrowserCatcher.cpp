#include "tests/e2e/BrowserCatcher.h"

#include "tests/e2e/E2eFiles.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/Wait.h"

#include <windows.h>

BrowserCatcher::BrowserCatcher(const std::string& out) : strOut(out)
{
    DeleteFileA(strOut.c_str());
    const std::string command = "\"" + E2ePaths::ProgramPath("tw-catcher.exe") + "\" " + out + " \"%1\"";
    for (const char* scheme : {"http", "https"}) {
        const std::string key = std::string(scheme) + "\\shell\\open\\command";
        HKEY handle;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr)
            != ERROR_SUCCESS)
            continue;
        char old[1024] = {};
        DWORD size = sizeof(old);
        const bool had =
            RegQueryValueExA(handle, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
        saved.push_back({key, had ? std::string(old) : std::string(), had});
        RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
        RegCloseKey(handle);
    }
}

BrowserCatcher::~BrowserCatcher()
{
    for (const Saved& entry : saved) {
        HKEY handle;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, entry.key.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS) continue;
        if (entry.had)
            RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.value.c_str()),
                           static_cast<DWORD>(entry.value.size() + 1));
        else
            RegDeleteValueA(handle, nullptr);
        RegCloseKey(handle);
    }
    DeleteFileA(strOut.c_str());
}

bool BrowserCatcher::WaitAddress(std::string& address) const
{
    std::string text;
    if (!Wait::Until([&] { return !(text = E2eFiles::ReadText(strOut)).empty(); }, 10000)) return false;
    DeleteFileA(strOut.c_str());
    std::string line = text.substr(0, text.find("\r\n"));
    if (!line.empty() && line.back() == '"') line.pop_back();
    const size_t start = line.find_last_of(" \"");
    address = start == std::string::npos ? line : line.substr(start + 1);
    return true;
}
