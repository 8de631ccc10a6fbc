#include "app/settings/LiveSettingsFormat.h"

#include <cstdio>
#include <vector>

namespace {

const size_t kMaxFields = 1 + LiveSettings::kAllColumns;

// Decimal, or hexadecimal after "0x"; nothing else, nothing above 32 bits.
bool Number(const std::string& text, uint32_t& value)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const size_t start = hex ? 2 : 0;
    if (text.size() <= start || text.size() - start > (hex ? 8u : 10u)) return false;
    uint64_t result = 0;
    for (size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (hex && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else return false;
        result = result * (hex ? 16 : 10) + digit;
    }
    if (result > 0xFFFFFFFFu) return false;
    value = static_cast<uint32_t>(result);
    return true;
}

bool Flag(const std::string& text, uint32_t& value)
{
    return Number(text, value) && value <= 1;
}

bool Color(const std::string& text, uint32_t& value)
{
    return Number(text, value) && value <= 0x00FFFFFFu;
}

// One line as settings; false when it is none.
bool TakeLine(const std::vector<std::string>& f, LiveSettings& s)
{
    const std::string& key = f[0];
    uint32_t a = 0, b = 0;
    if (key == "update" && f.size() == 2) {
        if (!Number(f[1], a) || !LiveSettingsFormat::IsUpdateSpeed(a)) return false;
        s.nUpdateSeconds = a;
    } else if (key == "highlight" && f.size() == 2) {
        if (!Flag(f[1], a)) return false;
        s.bHighlightChanges = a;
    } else if ((key == "color_new" || key == "color_ended") && f.size() == 2) {
        if (!Color(f[1], a)) return false;
        (key == "color_new" ? s.crNewProcesses : s.crEndedProcesses) = a;
    } else if (key == "column" && f.size() == 4) {
        if (!Number(f[1], a) || !LiveSettings::IsLiveColumn(a)) return false;
        LiveColumn& column = s.Column(a);
        bool taken = false;
        if (Flag(f[2], b)) {
            column.bVisible = static_cast<uint8_t>(b);
            taken = true;
        }
        if (Number(f[3], b) && b <= LiveSettingsFormat::kMaxWidth) {
            column.nWidth = b;
            taken = true;
        }
        return taken;
    } else if (key == "order" && f.size() >= 2 && f.size() <= 1 + LiveSettings::kAllColumns) {
        uint32_t order[LiveSettings::kAllColumns];
        bool seen[LiveSettings::kAllColumns] = {};
        const uint32_t count = static_cast<uint32_t>(f.size() - 1);
        for (uint32_t i = 0; i < count; ++i) {
            if (!Number(f[i + 1], a) || a >= LiveSettings::kAllColumns || seen[a]) return false;
            seen[a] = true;
            order[i] = a;
        }
        for (uint32_t i = 0; i < LiveSettings::kAllColumns; ++i) s.anColumnOrder[i] = i < count ? order[i] : 0;
        s.nColumnOrderCount = count;
    } else if (key == "sort" && f.size() == 3) {
        if (!Number(f[1], a) || !LiveSettings::IsLiveColumn(a) || !Flag(f[2], b)) return false;
        s.nSortColumn = a;
        s.bSortAscending = static_cast<uint8_t>(b);
    } else if (key == "copy" && f.size() == 2) {
        if (!Number(f[1], a) || a > 0xF) return false;
        s.dwCopyColumns = a;
    } else {
        return false;
    }
    return true;
}

std::string Hex(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(value));
    return text;
}

} // namespace

void LiveSettingsFormat::SetDefaults(LiveSettings& s)
{
    s = LiveSettings::Defaults();
}

int LiveSettingsFormat::Parse(const char* text, size_t size, LiveSettings& settings)
{
    if (!text) return 0;
    if (size > kMaxBytes) size = kMaxBytes;
    int taken = 0;
    size_t at = 0;
    while (at < size) {
        size_t end = at;
        while (end < size && text[end] != '\n') ++end;
        std::vector<std::string> fields(1);
        bool tooMany = false;
        for (size_t i = at; i < end && !tooMany; ++i) {
            if (text[i] == '\t') {
                tooMany = fields.size() == kMaxFields;
                fields.emplace_back();
            } else if (!(text[i] == '\r' && i + 1 == end)) {
                fields.back() += text[i];
            }
        }
        if (!tooMany && TakeLine(fields, settings)) ++taken;
        at = end + 1;
    }
    return taken;
}

std::string LiveSettingsFormat::Write(const LiveSettings& s)
{
    std::string text = "update\t" + std::to_string(s.nUpdateSeconds) + "\n";
    text += "highlight\t" + std::to_string(s.bHighlightChanges ? 1 : 0) + "\n";
    text += "color_new\t" + Hex(s.crNewProcesses) + "\n";
    text += "color_ended\t" + Hex(s.crEndedProcesses) + "\n";
    for (uint32_t i = 0; i < LiveSettings::kColumns; ++i)
        text += "column\t" + std::to_string(LiveSettings::kFirstColumn + i) + "\t"
              + std::to_string(s.aColumns[i].bVisible ? 1 : 0) + "\t" + std::to_string(s.aColumns[i].nWidth) + "\n";
    if (s.nColumnOrderCount > 0 && s.nColumnOrderCount <= LiveSettings::kAllColumns) {
        text += "order";
        for (uint32_t i = 0; i < s.nColumnOrderCount; ++i) text += "\t" + std::to_string(s.anColumnOrder[i]);
        text += "\n";
    }
    if (LiveSettings::IsLiveColumn(s.nSortColumn))
        text += "sort\t" + std::to_string(s.nSortColumn) + "\t" + std::to_string(s.bSortAscending ? 1 : 0) + "\n";
    text += "copy\t" + Hex(s.dwCopyColumns & 0xF) + "\n";
    return text;
}
