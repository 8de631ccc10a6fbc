#pragma once

#include <windows.h>
#include <string>

class ClDebugString;

// The interface language chosen last: "Language\Language.ini", section
// "LANGUAGE", key "Module" (a bare module file name, empty for English).
class LanguageSettings {
public:
    // programFolder ends with "\".
    explicit LanguageSettings(const std::string& programFolder);

    // "" when the path does not fit.
    std::string IniPath() const;
    std::string ReadModuleName() const;
    // Writes the value and traces the outcome on the channel.
    bool WriteModuleName(const std::string& value, ClDebugString* trace) const;

    // The module named in the ini, loaded, when it is a bare
    // "*_tarnwick.lang" name in the language folder that loads, exports the
    // info call and names an installed language. Otherwise null (English),
    // with one line on the debugger output when a name was given.
    HMODULE LoadChosenModule() const;

private:
    std::string strProgramFolder;
};
