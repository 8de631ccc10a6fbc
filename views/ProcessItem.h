#pragma once

#include "sysinfo/ProcessLoad.h"
#include "sysinfo/ProcessRecord.h"

#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <string>

// A process as the views, reports and the clipboard show it.
struct ProcessItem {
    uint32_t nKind = 1;
    std::string strName;
    std::string strPath;
    std::string strPid;
    std::string strParentPid;
    std::string strThreads;
    std::string strHandles;
    std::string strOwner;
    std::string strCreated;
    std::string strCommandLine;
    std::string strPriority;
    std::string strCompany;
    std::string strVersion;
    std::string strDescription;
    uint32_t dwPid = 0;
    uint32_t dwParentPid = 0;
    uint32_t dwThreads = 0;
    uint32_t dwHandles = 0;
    FILETIME ftCreated = {0, 0};
    uint32_t dwSequence = 0;
    uint8_t bService = 0;
    // strPath is the executable's path, not the "Not Available" text.
    uint8_t bPathKnown = 0;
    int32_t nImage = -1;
    uint32_t dwPriorityClass = 0;
    HTREEITEM hTreeNode = nullptr;
    // The figures that change while the process runs (NT family): the load
    // since the last sample ("" without one), processor time, memory.
    std::string strCpu;
    std::string strCpuTime;
    std::string strWorkingSet;
    std::string strPrivateBytes;
    int32_t nCpuTenths = ProcessLoad::kNone;
    ProcessCounters counters;
    // New since the last update, or ended (shown until the next one).
    enum Highlight : uint8_t { kPlain = 0, kNew = 1, kEnded = 2 };
    uint8_t nHighlight = kPlain;
};
