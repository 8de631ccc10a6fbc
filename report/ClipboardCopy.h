#pragma once

#include "views/ModuleItem.h"
#include "views/ProcessItem.h"

#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

// Rows as clipboard text: the values the copy options choose, in the views'
// column order, separated and delimited as chosen; rows joined by CRLF, no
// line end after the last.
class ClipboardCopy {
public:
    // Copy option bits of the process values, in writing order.
    static const uint32_t kProcessBits[12];
    // Copy option bits of the module values, in writing order.
    static const uint32_t kModuleBits[9];

    // 1 tab, 2 ";", 3 ",", 4 blank; anything else tab.
    static char SeparatorChar(uint8_t separator);
    // 1 double quote, 2 single quote; anything else none (0).
    static char DelimiterChar(uint8_t delimiter);

    static std::string CopyText(const std::vector<const ProcessItem*>& items, uint32_t mask, uint8_t separator,
                                uint8_t delimiter);
    // The same with the live figures after the twelve values (CPU, CPU Time,
    // Working Set, Private Bytes), each when its bit of `liveMask`
    // (LiveSettings::CopyBit, the live settings' dwCopyColumns) is set.
    static std::string CopyText(const std::vector<const ProcessItem*>& items, uint32_t mask, uint32_t liveMask,
                                uint8_t separator, uint8_t delimiter);
    static std::string CopyText(const std::vector<const ModuleItem*>& items, uint32_t mask, uint8_t separator,
                                uint8_t delimiter);
    // Rows of a two-column list: "col0<TAB>col1" lines.
    static std::string TableText(const std::vector<std::vector<std::string>>& rows);

    // One line from the values of a table in writing order; `bits` gives each
    // value's option bit. Empty when no bit of the table is set.
    static std::string FormatLine(const std::vector<const std::string*>& values, const uint32_t* bits,
                                  size_t count, uint32_t mask, uint8_t separator, uint8_t delimiter);

    // Puts the text on the clipboard as CF_TEXT. The block is filled before the
    // clipboard is emptied; nothing changes when it cannot be had.
    static bool SetClipboardText(HWND owner, const std::string& text);
};
