#include "CliCommands.h"

#include "../image/ClModuleIX.h"
#include "../image/ImportClosure.h"
#include "../image/MappedImageFile.h"
#include "../image/ResourceTypeList.h"

#include <cstdio>

namespace {

void PrintFile(const std::string& path, bool closure, bool& allOpened)
{
    uint32_t kind = 0, state = 1;
    {
        MappedImageFile file;
        file.open(path.c_str());
        if (file.OpenStateValue() != MappedImageFile::Mapped) allOpened = false;
        kind = file.Kind();
        state = file.ImageState();
    }
    std::printf("file\t%s\tkind=%u\tstate=%u\n", path.c_str(), static_cast<unsigned>(kind),
                static_cast<unsigned>(state));

    ClModuleIX tables;
    tables.Load(path.c_str());
    for (const ImportedModule& module : tables.Imports())
        for (const ImportedFunction& function : module.functions)
            std::printf("import\t%s\t%u\t%s\n", module.strName.c_str(), static_cast<unsigned>(function.dwValue),
                        function.strName.c_str());
    for (const ExportedFunction& function : tables.Exports())
        std::printf("export\t%u\t%s\n", static_cast<unsigned>(function.dwOrdinal), function.strName.c_str());

    if (state == 0) {
        ResourceTypeList resources;
        resources.load(path.c_str());
        for (const ResourceTypeEntry& entry : resources.Entries())
            std::printf("resource\t%s\t%u\n", entry.strName.c_str(), static_cast<unsigned>(entry.nCount));
    }

    if (closure) {
        ImportClosure walk;
        walk.walk(path.c_str());
        std::printf("closure\t%u\n", static_cast<unsigned>(walk.State()));
        for (const ClosureModule& node : walk.Nodes())
            std::printf("node\t%s\t%s\n", node.strShortName.c_str(), node.strFullPath.c_str());
        for (const ClosureModule& node : walk.Nodes())
            for (const std::string& missing : node.missing)
                std::printf("missing\t%s\t%s\n", node.strShortName.c_str(), missing.c_str());
    }
}

} // namespace

int CliCommands::Pe(const Args& args)
{
    bool closure = false;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--closure")
            closure = true;
        else if (!optionsEnded && arg == "--")
            optionsEnded = true;
        else if (!optionsEnded && arg.size() > 1 && arg[0] == '-')
            return UsageError("unknown option '" + arg + "' for 'pe'");
        else
            files.push_back(arg);
    }
    if (files.empty()) return UsageError("'pe' needs at least one FILE");

    bool allOpened = true;
    for (const std::string& file : files) PrintFile(file, closure, allOpened);
    return allOpened ? 0 : 1;
}
