// tarnwick-cli pe: the facts of PE image files.
#include "cli/CliCommands.h"
#include "cli/RecordValues.h"
#include "cli/TabText.h"

#include "image/ClModuleIX.h"
#include "image/ImportClosure.h"
#include "image/MappedImageFile.h"
#include "image/ResourceTypeList.h"

namespace {

const RecordSchema kSchema = {
    "file",
    {
        {"file", FieldType::Text, "the path as given"},
        {"opened", FieldType::Boolean, "the file could be opened and mapped"},
        {"kind", FieldType::Integer, "image kind: 0 unknown, 1 DOS program, 2 NE, 3 LE, 4 signature 0x4558, 5 PE"},
        {"image_state", FieldType::Integer, "0 an executable of a known layout, 1 not open, 2 not an executable "
                                            "(or not a PE image)"},
        {"imports_truncated", FieldType::Boolean, "the import table claims more entries than the file can hold "
                                                  "and was cut"},
        {"exports_truncated", FieldType::Boolean, "the same for the export table"},
        {"closure_state", FieldType::Integer, "with --closure: 0 the static import closure was walked, 1 the "
                                              "file could not be opened, 2 not a PE image, 3 out of memory; "
                                              "null without --closure"},
    },
    {
        {"imports", "the imported functions, in import-table order",
         {
             {"dll", FieldType::Text, "the DLL imported from"},
             {"ordinal", FieldType::Integer, "for an import by ordinal: the ordinal; else null"},
             {"hint", FieldType::Integer, "for an import by name: the hint; else null"},
             {"name", FieldType::Text, "the function name (undecorated when the system can); null for an "
                                       "import by ordinal or a name that cannot be read"},
         }},
        {"exports", "the exported functions, in export-table order",
         {
             {"ordinal", FieldType::Integer, "the export's ordinal"},
             {"name", FieldType::Text, "its name; null when unnamed"},
             {"forwarder", FieldType::Text, "for a forwarded export, what it forwards to (DLL.function); else "
                                            "null"},
         }},
        {"resources", "the resource types, in the loader's order",
         {
             {"type", FieldType::Text, "RT_ICON, ..., RT_UNKNOWN(ID: n), or the type's own name"},
             {"type_id", FieldType::Integer, "the numeric type; null for a named type"},
             {"count", FieldType::Integer, "resources of that type"},
         }},
        {"closure", "with --closure: the files of the static import closure, newest first",
         {
             {"module", FieldType::Text, "file name"},
             {"path", FieldType::Text, "full path"},
         }},
        {"missing", "with --closure: DLLs that a file of the closure imports but that cannot be found",
         {
             {"module", FieldType::Text, "file name of the importing file"},
             {"dll", FieldType::Text, "the DLL not found"},
         }},
    }};

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
    return std::to_string(value);
}

// One file: one open and one mapping serve every table and the closure's
// first node. False when the file could not be opened, a reader failed or a
// table was cut at its limit (said on standard error).
bool PrintFile(const std::string& path, bool closure, RecordWriter& writer, bool table)
{
    MappedImageFile file;
    file.open(path.c_str());
    const bool opened = file.OpenStateValue() == MappedImageFile::Mapped;
    ClModuleIX tables;
    tables.Load(file.View());
    ResourceTypeList resources;
    if (file.IsPE()) resources.load(file.View());
    ImportClosure walk;
    if (closure) walk.walk(path.c_str(), file.View());
    const std::string limit = Number(static_cast<uint32_t>(file.View().TableEntryLimit()));

    if (table) {
        std::string out;
        out.reserve(4096);
        out += "file\t" + TabText::Escape(path) + "\tkind=" + Number(file.Kind()) + "\tstate="
             + Number(file.ImageState()) + "\n";
        for (const ImportedModule& module : tables.Imports()) {
            const std::string dll = TabText::Escape(module.strName);
            for (const ImportedFunction& function : module.functions)
                Append(out, "import", {dll, Number(function.dwValue), TabText::Escape(function.strName)});
        }
        for (const ExportedFunction& function : tables.Exports())
            Append(out, "export", {Number(function.dwOrdinal), TabText::Escape(function.strName)});
        if (tables.ImportsTruncated()) Append(out, "truncated", {"imports", limit});
        if (tables.ExportsTruncated()) Append(out, "truncated", {"exports", limit});
        for (const ResourceTypeEntry& entry : resources.Entries())
            Append(out, "resource", {TabText::Escape(entry.strName), Number(entry.nCount)});
        if (closure) {
            Append(out, "closure", {Number(walk.State())});
            for (const ClosureModule& node : walk.Nodes())
                Append(out, "node", {TabText::Escape(node.strShortName), TabText::Escape(node.strFullPath)});
            for (const ClosureModule& node : walk.Nodes())
                for (const std::string& missing : node.missing)
                    Append(out, "missing", {TabText::Escape(node.strShortName), TabText::Escape(missing)});
        }
        RecordValues::Out(out);
    } else {
        Record record;
        record.Text(path).Flag(opened).Number(file.Kind()).Number(file.ImageState());
        record.Flag(tables.ImportsTruncated()).Flag(tables.ExportsTruncated());
        record.lists.resize(kSchema.lists.size());
        if (closure)
            record.Number(walk.State());
        else
            record.Missing();
        std::vector<Record>& imports = record.List(0);
        for (const ImportedModule& module : tables.Imports())
            for (const ImportedFunction& function : module.functions) {
                Record entry;
                entry.Text(module.strName);
                if (function.bByOrdinal)
                    entry.Number(function.dwValue).Missing().Missing();
                else if (function.bNamed)
                    entry.Missing().Number(function.dwValue).Text(function.strName);
                else
                    entry.Missing().Missing().Missing();
                imports.push_back(entry);
            }
        std::vector<Record>& exports = record.List(1);
        for (const ExportedFunction& function : tables.Exports())
            exports.push_back(Record()
                                  .Number(function.dwOrdinal)
                                  .Value(RecordValues::Known(function.strOwnName))
                                  .Value(RecordValues::Known(function.strForwarder)));
        std::vector<Record>& types = record.List(2);
        for (const ResourceTypeEntry& entry : resources.Entries()) {
            Record type;
            type.Text(entry.strName);
            if (entry.bIsNumeric)
                type.Number(entry.dwId);
            else
                type.Missing();
            types.push_back(type.Number(entry.nCount));
        }
        std::vector<Record>& nodes = record.List(3);
        std::vector<Record>& missing = record.List(4);
        if (closure) {
            for (const ClosureModule& node : walk.Nodes())
                nodes.push_back(Record().Text(node.strShortName).Text(node.strFullPath));
            for (const ClosureModule& node : walk.Nodes())
                for (const std::string& dll : node.missing) missing.push_back(Record().Text(node.strShortName).Text(dll));
        }
        writer.Write(record);
    }

    if (!opened) return CliError::FileFailure(path, "could not be opened", file.OpenError()) == 0;
    if (tables.Failed()) return CliError::Failure("'" + path + "' could not be read: a table reader failed") == 0;
    if (tables.ImportsTruncated())
        return CliError::Failure("'" + path + "' claims more imports than it can hold: the list was cut at "
                                 + limit) == 0;
    if (tables.ExportsTruncated())
        return CliError::Failure("'" + path + "' claims more exports than it can hold: the list was cut at "
                                 + limit) == 0;
    return true;
}

int Run(const CliArguments& arguments)
{
    const bool closure = arguments.Has("closure");
    const bool table = arguments.Format() == RecordWriter::Table;
    RecordWriter writer = RecordValues::Stdout(arguments.Format(), kSchema);
    if (!table) writer.Begin();
    bool allRead = true;
    for (const std::string& file : arguments.Operands())
        if (!PrintFile(file, closure, writer, table)) allRead = false;
    if (!table) writer.End();
    return allRead ? 0 : 1;
}

} // namespace

const CliCommand CliCommands::kPe = {
    "pe", "FILE...", "PE image facts: imports, exports, resource types, the static import closure",
    "The table has a line per fact, its kind first: \"file\" (path, kind=, state=),\n"
    "\"import\" (DLL, ordinal or hint, name), \"export\" (ordinal, name, with\n"
    "\" -> \" and the forwarder), \"truncated\" (imports or exports, the limit),\n"
    "\"resource\" (type, count), and with --closure \"closure\" (its state),\n"
    "\"node\" (name, path) and \"missing\" (importer, DLL).\n"
    "\n"
    "A table that claims more entries than its file can hold (one per 4 bytes,\n"
    "at most 1,048,576) is cut there. Exit status 1 when a file cannot be\n"
    "opened, a reader fails or a table was cut (the other files are still read).\n",
    {
        {"closure", nullptr, nullptr, "also walk the static import closure (DLLs found by the system's search "
                                      "order, from the file's folder)", nullptr},
    },
    &kSchema, 1, CliCommand::kAny, Run};
