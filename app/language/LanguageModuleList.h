#pragma once

#include "sysinfo/LangModuleWrapper.h"

#include <memory>
#include <string>
#include <vector>

// The language modules "Language\*_tarnwick.lang" beside the program.
class LanguageModuleList {
public:
    enum Status { Listed, NotInstalled, Invalid };

    struct File {
        std::string strName;  // file name
        std::string strPath;  // full path ("" when it does not fit)
        Status status = Invalid;
        WORD wLanguageId = 0;
        std::string strNativeName;
    };

    // programFolder ends with "\".
    explicit LanguageModuleList(const std::string& programFolder);

    // Loads every module found; valid ones (loaded, exporting the info
    // call) stay loaded in Modules(), in the order found.
    void Enumerate();
    // Every file found and what it is; loads each only while judging it.
    std::vector<File> Survey() const;

    std::vector<std::unique_ptr<LangModuleWrapper>>& Modules() { return modules; }

    // The language folder with its trailing "\" ("" when it does not fit).
    std::string Folder() const;
    // Native name of a language ("Deutsch"); "" when unknown.
    static std::string NativeName(WORD languageId);
    static bool IsInstalled(WORD languageId);
    // The module's language (info mask 2), 0 when it gives none.
    static WORD LanguageOf(LangModuleWrapper& module);

private:
    std::vector<std::string> FileNames() const;

    std::string strProgramFolder;
    std::vector<std::unique_ptr<LangModuleWrapper>> modules;
};
