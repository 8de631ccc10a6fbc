#include "cli/RecordValues.h"

#include "cli/RecordText.h"
#include "report/ReportText.h"

#include <windows.h>
#include <cstdio>

std::string RecordValues::Utf8(const std::string& ansi)
{
    if (ansi.empty()) return std::string();
    const int count = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    if (count <= 0) return ansi;
    std::u16string units(static_cast<size_t>(count), u'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), reinterpret_cast<wchar_t*>(&units[0]),
                        count);
    return ReportText::Utf8FromUnits(units);
}

RecordValue RecordValues::Time(uint64_t fileTime)
{
    if (fileTime == 0 || (fileTime >> 63)) return RecordValue();
    FILETIME utc = {static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    FILETIME local = {};
    SYSTEMTIME time = {};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time)) return RecordValue();
    const int64_t localValue = static_cast<int64_t>((uint64_t(local.dwHighDateTime) << 32) | local.dwLowDateTime);
    const int64_t offset = (localValue - static_cast<int64_t>(fileTime)) / 600000000;  // minutes
    return RecordValue::Keyed(RecordText::IsoTime(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
                                                  time.wSecond, static_cast<int>(offset)),
                              fileTime);
}

RecordValue RecordValues::Known(const std::string& text, const std::string& unknown)
{
    if (text.empty() || (!unknown.empty() && text == unknown)) return RecordValue();
    return RecordValue::Of(text);
}

void RecordValues::Out(const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

RecordWriter RecordValues::Stdout(RecordWriter::Format format, const RecordSchema& schema)
{
    return RecordWriter(format, schema, Out, Utf8);
}
