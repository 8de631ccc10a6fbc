#pragma once

#include "app/settings/LiveSettings.h"

#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <string>

#pragma pack(push, 1)

// One column of a view: shown or not, width, list position, identifier.
struct ColumnSetting {
    uint8_t bVisible;
    uint32_t nWidth;
    uint32_t dwRuntime;
    uint32_t nColumnId;
};

// Sort column, direction and (module list) sort mode.
struct SortState {
    int32_t nSortColumn;
    uint8_t bAscending;
    uint32_t nSortMode;
    uint32_t pOwner;
};

// All preferences; stored byte for byte as the settings file.
struct UserSettings {
    uint32_t dwSize;
    uint32_t dwVersion;
    uint32_t dwRevision;
    WINDOWPLACEMENT wpMainWindow;
    uint16_t nLeftPaneWidth;
    uint32_t bShowToolbar;
    uint32_t bShowInfobar;
    uint32_t bShowStatusbar;
    LOGFONTA lfViewFont;
    uint32_t bResolveProcessDependencies;
    uint32_t bHighlightServices;
    uint32_t bHighlightDynamicLoads;
    uint32_t crText;
    uint32_t crBackground;
    uint32_t crServices;
    uint32_t crDynamicLoads;
    uint32_t bDateUseDefault;
    uint32_t bDateLong;
    char szDateFormat[64];
    uint32_t bTimeUseDefault;
    char szTimeFormat[64];
    uint32_t dwCopyProcessColumns;
    uint32_t dwCopyModuleColumns;
    uint8_t nCopySeparator;
    uint8_t nCopyDelimiter;
    ColumnSetting aProcessColumns[12];
    ColumnSetting aModuleColumns[12];
    uint32_t anProcessColumnOrder[12];
    uint32_t anModuleColumnOrder[12];
    uint32_t nProcessColumnCount;
    uint32_t nModuleColumnCount;
    SortState ssProcessSort;
    SortState ssModuleSort;
    uint32_t bFullScreen;
    uint32_t bEnableTooltips;
    uint32_t nReportFileType;
    uint32_t bHideWhenMinimized;
    uint32_t crCpuText;
    uint32_t crCpuBackground;
    uint32_t crCpuGraph;
};

#pragma pack(pop)

static_assert(sizeof(ColumnSetting) == 13, "ColumnSetting is 13 bytes");
static_assert(sizeof(SortState) == 13, "SortState is 13 bytes");
static_assert(sizeof(WINDOWPLACEMENT) == 44, "WINDOWPLACEMENT is 44 bytes");
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA is 60 bytes");
static_assert(sizeof(UserSettings) == 778, "the settings record is 778 bytes");
static_assert(offsetof(UserSettings, wpMainWindow) == 12, "");
static_assert(offsetof(UserSettings, nLeftPaneWidth) == 56, "");
static_assert(offsetof(UserSettings, bShowToolbar) == 58, "");
static_assert(offsetof(UserSettings, bShowInfobar) == 62, "");
static_assert(offsetof(UserSettings, bShowStatusbar) == 66, "");
static_assert(offsetof(UserSettings, lfViewFont) == 70, "");
static_assert(offsetof(UserSettings, bResolveProcessDependencies) == 130, "");
static_assert(offsetof(UserSettings, bHighlightServices) == 134, "");
static_assert(offsetof(UserSettings, bHighlightDynamicLoads) == 138, "");
static_assert(offsetof(UserSettings, crText) == 142, "");
static_assert(offsetof(UserSettings, crBackground) == 146, "");
static_assert(offsetof(UserSettings, crServices) == 150, "");
static_assert(offsetof(UserSettings, crDynamicLoads) == 154, "");
static_assert(offsetof(UserSettings, bDateUseDefault) == 158, "");
static_assert(offsetof(UserSettings, bDateLong) == 162, "");
static_assert(offsetof(UserSettings, szDateFormat) == 166, "");
static_assert(offsetof(UserSettings, bTimeUseDefault) == 230, "");
static_assert(offsetof(UserSettings, szTimeFormat) == 234, "");
static_assert(offsetof(UserSettings, dwCopyProcessColumns) == 298, "");
static_assert(offsetof(UserSettings, dwCopyModuleColumns) == 302, "");
static_assert(offsetof(UserSettings, nCopySeparator) == 306, "");
static_assert(offsetof(UserSettings, nCopyDelimiter) == 307, "");
static_assert(offsetof(UserSettings, aProcessColumns) == 308, "");
static_assert(offsetof(UserSettings, aModuleColumns) == 464, "");
static_assert(offsetof(UserSettings, anProcessColumnOrder) == 620, "");
static_assert(offsetof(UserSettings, anModuleColumnOrder) == 668, "");
static_assert(offsetof(UserSettings, nProcessColumnCount) == 716, "");
static_assert(offsetof(UserSettings, nModuleColumnCount) == 720, "");
static_assert(offsetof(UserSettings, ssProcessSort) == 724, "");
static_assert(offsetof(UserSettings, ssModuleSort) == 737, "");
static_assert(offsetof(UserSettings, bFullScreen) == 750, "");
static_assert(offsetof(UserSettings, bEnableTooltips) == 754, "");
static_assert(offsetof(UserSettings, nReportFileType) == 758, "");
static_assert(offsetof(UserSettings, bHideWhenMinimized) == 762, "");
static_assert(offsetof(UserSettings, crCpuText) == 766, "");
static_assert(offsetof(UserSettings, crCpuBackground) == 770, "");
static_assert(offsetof(UserSettings, crCpuGraph) == 774, "");

