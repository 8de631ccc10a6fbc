#include "views/ValueFormatter.h"

#include "app/menus/StringTable.h"
#include "sysinfo/ProcessLoad.h"
#include "sysinfo/ModuleBasicInformation.h"
#include "sysutils/TextHelpers.h"

#include <cstdio>

ValueFormatter::ValueFormatter(const UserSettings& settings, bool ntFamily) : settings(settings), nt(ntFamily) {}

std::string ValueFormatter::NotAvailable()
{
    return StringTable::Load(19);
}

std::string ValueFormatter::Unknown()
{
    return StringTable::Load(40);
}

const char* ValueFormatter::FormatDate(const SYSTEMTIME* time, char* buffer, int bufferSize) const
{
    if (!time || !buffer || bufferSize <= 0) return nullptr;
    buffer[0] = '\0';
    if (settings.bDateUseDefault)
        GetDateFormatA(GetThreadLocale(), settings.bDateLong ? DATE_LONGDATE : DATE_SHORTDATE, time, nullptr, buffer,
                       bufferSize);
    else
        GetDateFormatA(GetThreadLocale(), 0, time, settings.szDateFormat, buffer, bufferSize);
    return buffer;
}

const char* ValueFormatter::FormatTime(const SYSTEMTIME* time, char* buffer, int bufferSize) const
{
    if (!time || !buffer || bufferSize <= 0) return nullptr;
    buffer[0] = '\0';
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, time, settings.bTimeUseDefault ? nullptr : settings.szTimeFormat, buffer,
                   bufferSize);
    return buffer;
}

std::string ValueFormatter::FormatDateTime(const FILETIME& time) const
{
    FILETIME local;
    SYSTEMTIME system;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &system)) return NotAvailable();
    char date[260], clock[260];
    FormatDate(&system, date, sizeof(date));
    FormatTime(&system, clock, sizeof(clock));
    return std::string(date) + ", " + clock;
}

std::string ValueFormatter::FormatSizeKb(uint32_t bytes)
{
    return ModuleBasicInformation::GroupedNumber(TextHelpers::BytesToKB(bytes), " Kb");
}

namespace {

std::string LocaleText(LCTYPE type, const char* fallback)
{
    char text[16] = {};
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof(text)) || !text[0]) return fallback;
    return text;
}

// "3;0" -> 3, "3;2;0" -> 32, "3" -> 30 (the NUMBERFMT form of a grouping).
UINT Grouping(const std::string& text)
{
    std::string digits;
    for (char c : text)
        if (c >= '0' && c <= '9') digits += c;
    if (digits.empty()) return 3;
    if (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    else digits += '0';
    UINT grouping = 0;
    for (char c : digits.substr(0, 6)) grouping = grouping * 10 + static_cast<UINT>(c - '0');
    return grouping;
}

} // namespace

std::string ValueFormatter::FormatMemoryK(uint32_t bytes)
{
    char number[16];
    snprintf(number, sizeof(number), "%u", static_cast<unsigned>(bytes / 1024));
    std::string decimal = LocaleText(LOCALE_SDECIMAL, ".");
    std::string thousands = LocaleText(LOCALE_STHOUSAND, ",");
    NUMBERFMTA format = {};
    format.Grouping = Grouping(LocaleText(LOCALE_SGROUPING, "3;0"));
    format.lpDecimalSep = &decimal[0];
    format.lpThousandSep = &thousands[0];
    format.NegativeOrder = 1;
    char grouped[64] = {};
    // Some systems (Wine) give an empty text for 0.
    if (!GetNumberFormatA(LOCALE_USER_DEFAULT, 0, number, &format, grouped, sizeof(grouped)) || !grouped[0])
        snprintf(grouped, sizeof(grouped), "%s", number);
    return std::string(grouped) + " K";
}

std::string ValueFormatter::FormatCpuTime(uint64_t time)
{
    const uint64_t seconds = time / 10000000u;
    char text[32];
    snprintf(text, sizeof(text), "%u:%02u:%02u", static_cast<unsigned>(seconds / 3600),
             static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
    return text;
}

std::string ValueFormatter::FormatLoad(int32_t tenths)
{
    return ProcessLoad::Text(tenths, LocaleText(LOCALE_SDECIMAL, "."));
}

std::string ValueFormatter::PriorityClassText(uint32_t priorityClass, bool ownTable)
{
    std::string (*load)(UINT) = ownTable ? StringTable::LoadOwn : StringTable::Load;
    switch (priorityClass) {
    case 0x40: return load(160);
    case 0x4000: return load(164);
    case 0x20: return load(162);
    case 0x8000: return load(165);
    case 0x80: return load(161);
    case 0x100: return load(163);
    default: return load(19);
    }
}

std::string ValueFormatter::ProcessId(uint32_t pid) const
{
    char text[32];
    if (nt)
        snprintf(text, sizeof(text), "%d", static_cast<int>(pid));
    else
        snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(pid));
    return text;
}

std::string ValueFormatter::ProcessCaption(const std::string& name, uint32_t pid) const
{
    char text[400];
    if (nt)
        snprintf(text, sizeof(text), "%s - [PID: %d]", name.c_str(), static_cast<int>(pid));
    else
        snprintf(text, sizeof(text), "%s - [PID: 0x%08X]", name.c_str(), static_cast<unsigned>(pid));
    return text;
}
