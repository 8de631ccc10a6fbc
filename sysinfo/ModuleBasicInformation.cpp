#include "sysinfo/ModuleBasicInformation.h"

#include "sysinfo/DebugOutput.h"
#include "sysutils/Orvo_SystemUtilities.h"
#include "sysutils/TextHelpers.h"

#include <windows.h>
#include <shellapi.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
std::string DateText(const FILETIME& time, bool withTime)
{
    if (time.dwLowDateTime == 0 && time.dwHighDateTime == 0) return std::string();
    FILETIME local;
    SYSTEMTIME system;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &system)) return std::string();
    char date[260] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &system, nullptr, date, sizeof(date));
    if (!withTime) return date;
    char clock[260] = {};
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &system, nullptr, clock, sizeof(clock));
    return std::string(date) + ", " + clock;
}
} // namespace

std::string ModuleBasicInformation::GroupedNumber(unsigned value, const char* unit)
{
    char number[32];
    snprintf(number, sizeof(number), "%u", value);  // sizes of 2 GB and more stay positive
    NUMBERFMTA format = {};
    format.Grouping = 3;
    format.lpDecimalSep = const_cast<char*>(",");
    format.lpThousandSep = const_cast<char*>(".");
    char grouped[64] = {};
    // Some systems give an empty text for 0 without a leading zero.
    if (!GetNumberFormatA(LOCALE_USER_DEFAULT, 0, number, &format, grouped, sizeof(grouped)) || !grouped[0])
        snprintf(grouped, sizeof(grouped), "%s", number);
    return std::string(grouped) + unit;
}

std::string ModuleBasicInformation::LongForm(const std::string& path)
{
    if (path.find('~') == std::string::npos) return path;
    char longPath[260] = {};
    DWORD length = kernel32.GetLongPathName(path.c_str(), longPath, sizeof(longPath));
    return length > 0 && length < sizeof(longPath) ? std::string(longPath) : path;
}

bool ModuleBasicInformation::Load(const char* path, unsigned flags)
{
    strTypeName = strOpenWith = strLocation = strSizeKb = strSizeBytes = strSizeOnDiskKb = strSizeOnDiskBytes =
        strCreated = strModified = strAccessed = strAttributes = std::string();
    // A name with "?" or "*" is no file name: as a pattern it would find another file.
    if (!path || std::strpbrk(path, "?*")) return false;

    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    if (data.nFileSizeHigh != 0) return false;

    char drive[_MAX_DRIVE] = {}, dir[_MAX_DIR] = {}, base[_MAX_FNAME] = {}, ext[_MAX_EXT] = {};
    _splitpath(path, drive, dir, base, ext);

    if (flags & TypeName) {
        SHFILEINFOA info = {};
        SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_TYPENAME);
        strTypeName = info.szTypeName;
        if (strTypeName.empty() && ext[0]) {
            strTypeName = ext + 1;
            CharUpperBuffA(&strTypeName[0], static_cast<DWORD>(strTypeName.size()));
        }
    }

    std::string root;
    if (IsUncPath(path)) {
        // "\\server\share\" of a network path.
        const char* p = path + 2;
        const char* first = std::strchr(p, '\\');
        const char* second = first ? std::strchr(first + 1, '\\') : nullptr;
        size_t length = second ? static_cast<size_t>(second - path) + 1 : std::strlen(path);
        if (length > 260) {
            DebugOutput::Format(260, "Buffer too small! (%s : %d)\n", "ModuleBasicInformation", 130);
            return false;
        }
        root.assign(path, length);
    } else {
        root = std::string(drive) + "\\";
    }

    uint32_t sizeOnDisk = 0;
    if (flags & SizeOnDisk) {
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
        if (GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) {
            const uint64_t cluster = uint64_t(sectorsPerCluster) * bytesPerSector;
            if (cluster) {
                uint64_t rounded = (uint64_t(data.nFileSizeLow) + cluster - 1) / cluster * cluster;
                sizeOnDisk = rounded > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(rounded);
            }
        }
    }

    if (flags & OpenWith) {
        char application[MAX_PATH] = {};
        const UINT_PTR found = reinterpret_cast<UINT_PTR>(FindExecutableA(path, "", application));
        std::string upper = application;
        if (!upper.empty()) CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
        if (found > 32 && upper.find(".EXE") != std::string::npos) {
            if (FileExists(application)) {
                strOpenWith = versionInfo.LoadAndQuery(application, "FileDescription");
                if (strOpenWith.empty()) {
                    std::string name = LongForm(application);
                    const size_t slash = name.find_last_of('\\');
                    if (slash != std::string::npos) name = name.substr(slash + 1);
                    std::vector<char> text(name.begin(), name.end());
                    text.push_back('\0');
                    TextHelpers::Capitalize(text.data());
                    strOpenWith = text.data();
                }
            }
        } else if (_strnicmp(ext, ".exe", 4) == 0) {
            strOpenWith = versionInfo.LoadAndQuery(path, "FileDescription");
            if (strOpenWith.empty()) strOpenWith = base;
        }
    }

    const std::string full = path;
    const size_t slash = full.find_last_of('\\');
    if (slash != std::string::npos) strLocation = LongForm(full.substr(0, slash));

    if (data.dwFileAttributes & FILE_ATTRIBUTE_ARCHIVE) strAttributes += "A";
    if (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) strAttributes += "H";
    if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) strAttributes += "R";
    if (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) strAttributes += "S";

    strCreated = DateText(data.ftCreationTime, true);
    strModified = DateText(data.ftLastWriteTime, true);
    strAccessed = DateText(data.ftLastAccessTime, false);

    strSizeKb = GroupedNumber(TextHelpers::BytesToKB(data.nFileSizeLow), " Kb");
    strSizeBytes = GroupedNumber(data.nFileSizeLow, " Bytes");
    strSizeOnDiskKb = GroupedNumber(TextHelpers::BytesToKB(sizeOnDisk), " Kb");
    strSizeOnDiskBytes = GroupedNumber(sizeOnDisk, " Bytes");
    return true;
}
