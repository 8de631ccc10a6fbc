#include "app/language/LanguageSettings.h"

#include "app/startup/ClDebugString.h"
#include "app/language/LanguageFiles.h"
#include "app/language/LanguageModuleList.h"
#include "sysinfo/DebugOutput.h"

LanguageSettings::LanguageSettings(const std::string& programFolder) : strProgramFolder(programFolder)
{
}

std::string LanguageSettings::IniPath() const
{
    std::string path;
    return LanguageFiles::Join(strProgramFolder, "Language\\Language.ini", path) ? path : std::string();
}

std::string LanguageSettings::ReadModuleName() const
{
    const std::string ini = IniPath();
    if (ini.empty()) return std::string();
    char value[MAX_PATH + 2] = {};
    // One more than a name may have: a longer value is seen as too long.
    GetPrivateProfileStringA("LANGUAGE", "Module", "", value, sizeof(value), ini.c_str());
    value[sizeof(value) - 1] = '\0';
    return value;
}

bool LanguageSettings::WriteModuleName(const std::string& value, ClDebugString* trace) const
{
    const std::string ini = IniPath();
    const bool written = !ini.empty() && WritePrivateProfileStringA("LANGUAGE", "Module", value.c_str(), ini.c_str());
    if (written) WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str()); // flush the 9x cache
    if (trace) {
        if (written) trace->print("\"%s\" written successfully!\n", ini.c_str());
        else trace->print("Error writing \"%s\"!\n", ini.c_str());
    }
    return written;
}

HMODULE LanguageSettings::LoadChosenModule() const
{
    const std::string name = ReadModuleName();
    if (name.empty()) return nullptr;
    const LanguageModuleList list(strProgramFolder);
    std::string path;
    if (LanguageFiles::IsModuleName(name) && LanguageFiles::Join(list.Folder(), name, path)) {
        LangModuleWrapper module(path.c_str());
        const WORD language = LanguageModuleList::LanguageOf(module);
        if (language && LanguageModuleList::IsInstalled(language)) {
            // A second reference that outlives the wrapper.
            HMODULE kept = LoadLibraryA(path.c_str());
            if (kept) return kept;
        }
    }
    DebugOutput::Format(600, "Language module \"%s\" from Language.ini not usable, using English\n",
                        name.c_str());
    return nullptr;
}
