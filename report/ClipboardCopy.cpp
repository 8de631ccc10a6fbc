#include "report/ClipboardCopy.h"

#include "sysinfo/DebugOutput.h"

#include <cstring>

const uint32_t ClipboardCopy::kProcessBits[12] = {0x001, 0x002, 0x004, 0x200, 0x400, 0x800,
                                                  0x008, 0x080, 0x040, 0x100, 0x010, 0x020};
const uint32_t ClipboardCopy::kModuleBits[9] = {0x001, 0x002, 0x080, 0x004, 0x020, 0x040, 0x100, 0x008, 0x010};

namespace {

void AppendLine(std::string& text, const std::string& line)
{
    if (line.empty()) return;
    if (!text.empty()) text += "\r\n";
    text += line;
}

} // namespace

char ClipboardCopy::SeparatorChar(uint8_t separator)
{
    switch (separator) {
    case 2: return ';';
    case 3: return ',';
    case 4: return ' ';
    default: return '\t';
    }
}

char ClipboardCopy::DelimiterChar(uint8_t delimiter)
{
    switch (delimiter) {
    case 1: return '"';
    case 2: return '\'';
    default: return 0;
    }
}

std::string ClipboardCopy::FormatLine(const std::vector<const std::string*>& values, const uint32_t* bits,
                                      size_t count, uint32_t mask, uint8_t separator, uint8_t delimiter)
{
    uint32_t tableMask = 0;
    for (size_t i = 0; i < count; ++i) tableMask |= bits[i];
    mask &= tableMask;
    int wanted = 0;
    for (uint32_t m = mask; m; m &= m - 1) ++wanted;
    // One value is written bare.
    const char quote = wanted > 1 ? DelimiterChar(delimiter) : 0;
    const char gap = SeparatorChar(separator);

    std::string line;
    int written = 0;
    for (size_t i = 0; i < count && i < values.size(); ++i) {
        if (!(mask & bits[i])) continue;
        const std::string& value = *values[i];
        if (quote) {
            line += quote;
            for (char c : value) {
                if (c == quote) line += quote;
                line += c;
            }
            line += quote;
        } else {
            line += value;
        }
        ++written;
        if (written < wanted) line += gap;
    }
    return line;
}

std::string ClipboardCopy::CopyText(const std::vector<const ProcessItem*>& items, uint32_t mask, uint8_t separator,
                                    uint8_t delimiter)
{
    return CopyText(items, mask, 0, separator, delimiter);
}

std::string ClipboardCopy::CopyText(const std::vector<const ProcessItem*>& items, uint32_t mask, uint32_t liveMask,
                                    uint8_t separator, uint8_t delimiter)
{
    // The live values take the bits above the twelve in one mask.
    uint32_t bits[16];
    for (int i = 0; i < 12; ++i) bits[i] = kProcessBits[i];
    for (int i = 0; i < 4; ++i) bits[12 + i] = 0x1000u << i;
    const uint32_t both = (mask & 0xFFFu) | ((liveMask & 0xFu) << 12);
    std::string text;
    for (const ProcessItem* item : items) {
        if (!item) continue;
        const std::vector<const std::string*> values = {
            &item->strName,    &item->strPid,      &item->strParentPid, &item->strVersion,
            &item->strDescription, &item->strCompany, &item->strOwner,  &item->strThreads,
            &item->strHandles, &item->strPriority, &item->strCreated,   &item->strCommandLine,
            &item->strCpu,     &item->strCpuTime,  &item->strWorkingSet, &item->strPrivateBytes};
        AppendLine(text, FormatLine(values, bits, liveMask & 0xFu ? 16 : 12, both, separator, delimiter));
    }
    return text;
}

std::string ClipboardCopy::CopyText(const std::vector<const ModuleItem*>& items, uint32_t mask, uint8_t separator,
                                    uint8_t delimiter)
{
    std::string text;
    for (const ModuleItem* item : items) {
        if (!item) continue;
        const std::vector<const std::string*> values = {
            &item->strName,    &item->strLocation, &item->strBaseAddress, &item->strVersion, &item->strDescription,
            &item->strCompany, &item->strSize,     &item->strCreated,     &item->strModified};
        AppendLine(text, FormatLine(values, kModuleBits, 9, mask, separator, delimiter));
    }
    return text;
}

std::string ClipboardCopy::TableText(const std::vector<std::vector<std::string>>& rows)
{
    std::string text;
    for (const std::vector<std::string>& row : rows) {
        if (!text.empty()) text += "\r\n";
        for (size_t i = 0; i < row.size(); ++i) {
            if (i) text += '\t';
            text += row[i];
        }
    }
    return text;
}

bool ClipboardCopy::SetClipboardText(HWND owner, const std::string& text)
{
    const SIZE_T size = text.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) {
        DebugOutput::Format(260, "'GlobalAlloc' failed in %s at line %d! Requested %d Bytes", __FILE__, __LINE__,
                            static_cast<int>(size));
        return false;
    }
    char* memory = static_cast<char*>(GlobalLock(block));
    if (!memory) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(memory, text.c_str(), size);
    GlobalUnlock(block);

    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    bool placed = SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    if (!placed) GlobalFree(block);
    return placed;
}
