#pragma once

#include "app/settings/UserSettings.h"

#include <windows.h>
#include <cstdint>
#include <string>

// The small formatters of process and module texts: dates and times by the
// user's settings, sizes, priority names, identifiers, captions.
class ValueFormatter {
public:
    ValueFormatter(const UserSettings& settings, bool ntFamily);

    const char* FormatDate(const SYSTEMTIME* time, char* buffer, int bufferSize) const;
    const char* FormatTime(const SYSTEMTIME* time, char* buffer, int bufferSize) const;
    // Local date and time; "Not Available" when the time cannot be converted.
    std::string FormatDateTime(const FILETIME& time) const;

    static std::string FormatSizeKb(uint32_t bytes);
    // Memory as the task manager shows it: whole kilobytes with the user's
    // digit grouping and " K" ("65,536 K").
    static std::string FormatMemoryK(uint32_t bytes);
    // Processor time (100-ns units) as h:mm:ss.
    static std::string FormatCpuTime(uint64_t time);
    // A load in tenths of a percent with one decimal ("12.5", the user's
    // decimal separator); "" without a load.
    static std::string FormatLoad(int32_t tenths);
    // The name of a priority class in the interface language, or with
    // `ownTable` from the program's own table (the reports' fixed texts).
    static std::string PriorityClassText(uint32_t priorityClass, bool ownTable = false);
    std::string ProcessId(uint32_t pid) const;
    std::string ProcessCaption(const std::string& name, uint32_t pid) const;

    // "Not Available" (string 19) and "Unknown" (string 40).
    static std::string NotAvailable();
    static std::string Unknown();

    bool IsNtFamily() const { return nt; }
    const UserSettings& Settings() const { return settings; }

private:
    const UserSettings& settings;
    bool nt;
};
