#include "app/language/LanguageModuleList.h"

#include "app/language/LanguageFiles.h"

LanguageModuleList::LanguageModuleList(const std::string& programFolder) : strProgramFolder(programFolder)
{
}

std::string LanguageModuleList::Folder() const
{
    std::string folder;
    return LanguageFiles::Join(strProgramFolder, "Language\\", folder) ? folder : std::string();
}

std::vector<std::string> LanguageModuleList::FileNames() const
{
    std::vector<std::string> names;
    std::string pattern;
    const std::string folder = Folder();
    if (folder.empty() || !LanguageFiles::Join(folder, "*_tarnwick.lang", pattern)) return names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

void LanguageModuleList::Enumerate()
{
    modules.clear();
    const std::string folder = Folder();
    for (const std::string& name : FileNames()) {
        std::string path;
        if (!LanguageFiles::Join(folder, name, path)) continue;
        std::unique_ptr<LangModuleWrapper> module(new LangModuleWrapper(path.c_str()));
        if (module->IsValid()) modules.push_back(std::move(module));
    }
}

std::vector<LanguageModuleList::File> LanguageModuleList::Survey() const
{
    std::vector<File> files;
    const std::string folder = Folder();
    for (const std::string& name : FileNames()) {
        File file;
        file.strName = name;
        if (LanguageFiles::Join(folder, name, file.strPath)) {
            LangModuleWrapper module(file.strPath.c_str());
            if (module.IsValid()) {
                LangModuleInfo info = {};
                info.cbSize = sizeof(info);
                info.fMask = LMI_LANGID;
                if (module.GetLangModuleInfo(&info)) {
                    file.wLanguageId = info.wLanguageId;
                    file.strNativeName = NativeName(info.wLanguageId);
                    file.status = IsInstalled(info.wLanguageId) ? Listed : NotInstalled;
                }
            }
        } else {
            file.strPath.clear();
        }
        files.push_back(file);
    }
    return files;
}

std::string LanguageModuleList::NativeName(WORD languageId)
{
    char name[128] = {};
    if (GetLocaleInfoA(MAKELCID(languageId, SORT_DEFAULT), LOCALE_SNATIVELANGNAME, name, sizeof(name)) <= 0)
        return std::string();
    name[sizeof(name) - 1] = '\0';
    return name;
}

bool LanguageModuleList::IsInstalled(WORD languageId)
{
    return languageId != 0 && IsValidLocale(MAKELCID(languageId, SORT_DEFAULT), LCID_INSTALLED);
}

WORD LanguageModuleList::LanguageOf(LangModuleWrapper& module)
{
    if (!module.IsValid()) return 0;
    LangModuleInfo info = {};
    info.cbSize = sizeof(info);
    info.fMask = LMI_LANGID;
    return module.GetLangModuleInfo(&info) ? info.wLanguageId : 0;
}
