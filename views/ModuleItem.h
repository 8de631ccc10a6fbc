#pragma once

#include <windows.h>
#include <cstdint>
#include <string>

// A module as the views, reports and the clipboard show it.
struct ModuleItem {
    uint32_t nKind = 2;
    std::string strName;
    std::string strLocation;
    std::string strBaseAddress;
    std::string strVersion;
    std::string strSize;
    std::string strCreated;
    std::string strModified;
    std::string strCompany;
    std::string strDescription;
    uint8_t bDynamic = 0;
    uint8_t bRelocated = 0;
    int32_t nImage = -1;
    uint32_t dwLoadOrder = 0;
    uint32_t dwBaseAddress = 0;
    uint32_t dwSize = 0;
    FILETIME ftCreated = {0, 0};
    FILETIME ftModified = {0, 0};
};
