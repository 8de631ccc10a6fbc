#include "CliCommands.h"
#include "TabText.h"

#include "../image/ClModuleIX.h"
#include "../image/ImportClosure.h"
#include "../image/MappedImageFile.h"
#include "../image/ResourceTypeList.h"

#include <cstdio>

namespace {

void Append(std::string& out, const char* tag, std::initializer_list<std::string> fields)
{
    out += tag;
    for (const std::string& field : fields) {
        out += '\t';
        out += field;
    }
    out += '\n';
}

std::string Number(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof(text), "%u", static_cast<unsigned>(value));
    return text;
}

// Prints one file: one open and one mapping serve every table and the
// closure's first node. False when the file could not be opened, a reader
// failed or a table was cut at its limit.
bool PrintFile(const std::string& path, bool closure)
{
    MappedImageFile file;
    file.open(path.c_str());
    const bool opened = file.OpenStateValue() == MappedImageFile::Mapped;
    std::string out;
    out.reserve(4096);
    out += "file\t" + TabText::Escape(path) + "\tkind=" + Number(file.Kind()) + "\tstate="
         + Number(file.ImageState()) + "\n";

    ClModuleIX tables;
    tables.Load(file.View());
    for (const ImportedModule& module : tables.Imports()) {
        const std::string dll = TabText::Escape(module.strName);
        for (const ImportedFunction& function : module.functions)
            Append(out, "import", {dll, Number(function.dwValue), TabText::Escape(function.strName)});
    }
    for (const ExportedFunction& function : tables.Exports())
        Append(out, "export", {Number(function.dwOrdinal), TabText::Escape(function.strName)});
    // A table cut at its limit is said so, in the listing and by the exit status.
    const std::string limit = Number(static_cast<uint32_t>(file.View().TableEntryLimit()));
    if (tables.ImportsTruncated()) Append(out, "truncated", {"imports", limit});
    if (tables.ExportsTruncated()) Append(out, "truncated", {"exports", limit});

    if (file.IsPE()) {
        ResourceTypeList resources;
        resources.load(file.View());
        for (const ResourceTypeEntry& entry : resources.Entries())
            Append(out, "resource", {TabText::Escape(entry.strName), Number(entry.nCount)});
    }

    if (closure) {
        ImportClosure walk;
        walk.walk(path.c_str(), file.View());
        Append(out, "closure", {Number(walk.State())});
        for (const ClosureModule& node : walk.Nodes())
            Append(out, "node", {TabText::Escape(node.strShortName), TabText::Escape(node.strFullPath)});
        for (const ClosureModule& node : walk.Nodes())
            for (const std::string& missing : node.missing)
                Append(out, "missing", {TabText::Escape(node.strShortName), TabText::Escape(missing)});
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    const char* problem = !opened                    ? "could not be opened"
                        : tables.Failed()            ? "could not be read (a reader failed)"
                        : tables.ImportsTruncated()  ? "holds more imports than it can"
                        : tables.ExportsTruncated()  ? "holds more exports than it can"
                                                     : nullptr;
    if (problem) std::fprintf(stderr, "tarnwick-cli: %s %s\n", path.c_str(), problem);
    return !problem;
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

    bool allRead = true;
    for (const std::string& file : files)
        if (!PrintFile(file, closure)) allRead = false;
    return allRead ? 0 : 1;
}
