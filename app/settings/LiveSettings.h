#pragma once

#include <cstdint>

// One of the process columns that the settings record has no room for.
struct LiveColumn {
    uint8_t bVisible;
    uint32_t nWidth;
    uint32_t dwRuntime;  // the list position while the list shows it; scratch
};

// The live view's settings: update speed, highlighting of new and ended
// processes, and the process columns 12 to 15 (CPU, CPU Time, Working Set,
// Private Bytes) with their place in the column order, the sort and Copy.
// They live in a file of their own beside the settings record (see
// UserSettingsFile::LoadLive), which keeps its size and old column ids.
struct LiveSettings {
    static constexpr uint32_t kFirstColumn = 12;
    static constexpr uint32_t kColumns = 4;
    static constexpr uint32_t kAllColumns = kFirstColumn + kColumns;
    static constexpr uint32_t kNoSortColumn = 0xFFFFFFFFu;
    static constexpr uint32_t kDefaultNewColor = 0x00008000;    // green
    static constexpr uint32_t kDefaultEndedColor = 0x000000FF;  // red

    // Copy bits of the new values, in writing order.
    enum CopyBit : uint32_t { kCopyCpu = 1, kCopyCpuTime = 2, kCopyWorkingSet = 4, kCopyPrivateBytes = 8 };

    uint32_t nUpdateSeconds;     // 0 paused, 1, 2 or 5
    uint32_t bHighlightChanges;  // draw new and ended processes in their colours
    uint32_t crNewProcesses;     // COLORREF
    uint32_t crEndedProcesses;
    LiveColumn aColumns[kColumns];  // index: column id - kFirstColumn
    // The process list's display order when it holds new columns (every id
    // shown, old and new); 0 entries: none stored, the record's order counts.
    uint32_t anColumnOrder[kAllColumns];
    uint32_t nColumnOrderCount;
    // The sort column when it is a new one (the record keeps the last old
    // one); kNoSortColumn when the record's sort counts.
    uint32_t nSortColumn;
    uint8_t bSortAscending;
    uint32_t dwCopyColumns;  // CopyBit

    // Paused, highlighting on in green and red; CPU and Private Bytes shown
    // (the 9x family never shows the new columns), no stored order, the
    // record's sort, nothing new copied.
    static LiveSettings Defaults()
    {
        static const uint32_t kWidths[kColumns] = {45, 70, 85, 85};
        static const uint8_t kVisible[kColumns] = {1, 0, 0, 1};
        LiveSettings s = LiveSettings();
        s.bHighlightChanges = 1;
        s.crNewProcesses = kDefaultNewColor;
        s.crEndedProcesses = kDefaultEndedColor;
        for (uint32_t i = 0; i < kColumns; ++i) {
            s.aColumns[i].bVisible = kVisible[i];
            s.aColumns[i].nWidth = kWidths[i];
        }
        s.nSortColumn = kNoSortColumn;
        s.bSortAscending = 1;
        return s;
    }

    LiveColumn& Column(uint32_t id) { return aColumns[id - kFirstColumn]; }
    const LiveColumn& Column(uint32_t id) const { return aColumns[id - kFirstColumn]; }
    static bool IsLiveColumn(uint32_t id) { return id >= kFirstColumn && id < kAllColumns; }
};
