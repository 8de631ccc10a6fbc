#include "views/ColorsAndFormats.h"

#include <cstddef>

namespace {

// The record is packed: colours are read and written through their offsets.
struct Entry {
    unsigned nString;
    size_t nOffset;
    uint32_t crDefault;
};

const Entry kEntries[ColorsAndFormats::kColorCount] = {
    {190, offsetof(UserSettings, crText), 0x000000},
    {191, offsetof(UserSettings, crBackground), 0xFFFFFF},
    {192, offsetof(UserSettings, crServices), 0x0064C8},
    {193, offsetof(UserSettings, crDynamicLoads), 0xA00000},
    {194, offsetof(UserSettings, crCpuText), 0x800000},
    {195, offsetof(UserSettings, crCpuBackground), ColorsAndFormats::kSystemBackground},
    {196, offsetof(UserSettings, crCpuGraph), 0x800000},
};

} // namespace

unsigned ColorsAndFormats::ColorString(size_t entry)
{
    if (entry == kColorCount) return 215;
    if (entry == kColorCount + 1) return 216;
    return entry < kColorCount ? kEntries[entry].nString : 0;
}

uint32_t ColorsAndFormats::Color(const UserSettings& settings, const LiveSettings& live, size_t entry)
{
    if (entry == kColorCount) return live.crNewProcesses;
    if (entry == kColorCount + 1) return live.crEndedProcesses;
    return Color(settings, entry);
}

void ColorsAndFormats::SetColor(UserSettings& settings, LiveSettings& live, size_t entry, uint32_t color)
{
    if (entry == kColorCount) live.crNewProcesses = color & 0x00FFFFFFu;
    else if (entry == kColorCount + 1) live.crEndedProcesses = color & 0x00FFFFFFu;
    else SetColor(settings, entry, color);
}

void ColorsAndFormats::SetDefaultColor(UserSettings& settings, LiveSettings& live, size_t entry)
{
    SetColor(settings, live, entry, DefaultColor(entry));
}

uint32_t ColorsAndFormats::Color(const UserSettings& settings, size_t entry)
{
    uint32_t color = 0;
    if (entry < kColorCount)
        std::memcpy(&color, reinterpret_cast<const char*>(&settings) + kEntries[entry].nOffset, sizeof(color));
    return color;
}

void ColorsAndFormats::SetColor(UserSettings& settings, size_t entry, uint32_t color)
{
    if (entry < kColorCount)
        std::memcpy(reinterpret_cast<char*>(&settings) + kEntries[entry].nOffset, &color, sizeof(color));
}

uint32_t ColorsAndFormats::DefaultColor(size_t entry)
{
    if (entry == kColorCount) return LiveSettings::kDefaultNewColor;
    if (entry == kColorCount + 1) return LiveSettings::kDefaultEndedColor;
    return entry < kColorCount ? kEntries[entry].crDefault : 0;
}

void ColorsAndFormats::SetDefaultColor(UserSettings& settings, size_t entry)
{
    SetColor(settings, entry, DefaultColor(entry));
}

uint32_t ColorsAndFormats::Shown(uint32_t value, uint32_t face)
{
    return value == kSystemBackground ? face : (value & 0x00FFFFFFu);
}

void ColorsAndFormats::TakePicture(char (&field)[64], const std::string& text)
{
    const size_t length = text.size() < kPictureChars ? text.size() : kPictureChars;
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, sizeof(field) - length);
}

void ColorsAndFormats::UseDefaultDate(UserSettings& settings, bool longDate, const std::string& localePicture)
{
    settings.bDateUseDefault = 1;
    settings.bDateLong = longDate ? 1 : 0;
    TakePicture(settings.szDateFormat, localePicture);
}

void ColorsAndFormats::UseOtherDate(UserSettings& settings)
{
    settings.bDateUseDefault = 0;
    settings.bDateLong = 0;
}

void ColorsAndFormats::SetDatePicture(UserSettings& settings, const std::string& text)
{
    TakePicture(settings.szDateFormat, text);
}

void ColorsAndFormats::UseDefaultTime(UserSettings& settings, const std::string& localePicture)
{
    settings.bTimeUseDefault = 1;
    TakePicture(settings.szTimeFormat, localePicture);
}

void ColorsAndFormats::UseOtherTime(UserSettings& settings)
{
    settings.bTimeUseDefault = 0;
}

void ColorsAndFormats::SetTimePicture(UserSettings& settings, const std::string& text)
{
    TakePicture(settings.szTimeFormat, text);
}
