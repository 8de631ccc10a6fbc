#include "views/ValueFormatter.h"

#include "app/menus/StringTable.h"
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
