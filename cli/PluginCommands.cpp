#include "CliCommands.h"

#include "TabText.h"
#include "../app/HelpFile.h"
#include "../app/LanguageModuleList.h"
#include "../app/PluginLoader.h"

#include <cstdio>
#include <cstdlib>

int CliCommands::Plugins(const Args& args)
{
    if (args.size() > 1) return UsageError("'plugins' takes at most one folder");
    std::string folder;
    if (args.empty()) {
        const std::string program = ::HelpFile::ProgramFolder();
        if (program.empty()) return 1;
        folder = program + "Plugins";
    } else {
        folder = args[0];
        while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    }
    std::vector<PluginLoadResult> results = PluginLoader::LoadFolder(folder);
    std::fputs("Path\tResult\tKind\tVersion\tName\n", stdout);
    for (const PluginLoadResult& result : results) {
        char kind[8] = "";
        char version[16] = "";
        if (result.bRecordRead) {
            std::snprintf(kind, sizeof(kind), "%u", static_cast<unsigned>(result.nKind));
            std::snprintf(version, sizeof(version), "0x%08X", static_cast<unsigned>(result.dwVersion));
        }
        std::fputs(TabText::Row({TabText::Escape(result.strPath), PluginRecordCheck::Name(result.verdict), kind,
                                 version, TabText::Escape(result.strName)})
                       .c_str(),
                   stdout);
    }
    // Only the loader ran: no entry point was called, the libraries go again.
    for (const PluginLoadResult& result : results)
        if (result.hModule) FreeLibrary(result.hModule);
    return 0;
}

int CliCommands::Languages(const Args& args)
{
    if (!args.empty()) return UsageError("'languages' takes no arguments");
    const std::string program = ::HelpFile::ProgramFolder();
    if (program.empty()) return 1;
    const LanguageModuleList list(program);
    std::fputs("File\tLanguage\tNativeName\tStatus\n", stdout);
    for (const LanguageModuleList::File& file : list.Survey()) {
        static const char* const kStatus[] = {"listed", "not-installed", "invalid"};
        char language[8];
        std::snprintf(language, sizeof(language), "0x%04X", static_cast<unsigned>(file.wLanguageId));
        std::fputs(TabText::Row({TabText::Escape(file.strName), language, TabText::Escape(file.strNativeName),
                                 kStatus[file.status]}).c_str(), stdout);
    }
    return 0;
}

int CliCommands::HelpFilePath(const Args& args)
{
    if (args.size() != 1) return UsageError("'helpfile' takes one language id");
    char* end = nullptr;
    const unsigned long language = std::strtoul(args[0].c_str(), &end, 0);
    if (args[0].empty() || !end || *end || language > 0xFFFF) return UsageError("bad language id '" + args[0] + "'");
    const std::string program = ::HelpFile::ProgramFolder();
    const std::string path = program.empty() ? std::string() : ::HelpFile::Find(program, static_cast<WORD>(language));
    if (path.empty()) {
        std::fputs("tarnwick-cli: help file not found\n", stderr);
        return 1;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}
