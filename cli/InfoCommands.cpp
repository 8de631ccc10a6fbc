// tarnwick-cli params and modinfo: what the process and module information
// windows show, through the same code.
#include "cli/CliCommands.h"
#include "cli/ProcessIdText.h"
#include "cli/RecordValues.h"
#include "cli/TabText.h"

#include "image/ModuleInformation.h"
#include "sysinfo/ProcessSnapshot.h"
#include "sysinfo/TopLevelWindowList.h"
#include "sysutils/OsVersion.h"
#include "tools/ProcessInformation.h"
#include "views/ValueFormatter.h"

#include <windows.h>

namespace {

std::vector<std::string> Escaped(const std::vector<std::string>& cells)
{
    std::vector<std::string> out;
    for (const std::string& cell : cells) out.push_back(TabText::Escape(cell));
    return out;
}

const RecordSchema kParamsSchema = {
    "process",
    {
        {"pid", FieldType::Integer, "process id"},
        {"description", FieldType::Text, "file description of the executable; null without one"},
        {"image_path", FieldType::Text, "full path of the executable; null when it cannot be read"},
        {"command_line", FieldType::Text, "the command line as it is (line breaks included); null when it "
                                          "cannot be read (always on the 9x family)"},
        {"current_directory", FieldType::Text, "null when it cannot be read (always on the 9x family)"},
        {"dll_path", FieldType::Text, "the DLL search path of its parameters; null when it cannot be read or "
                                      "there is none (always on the 9x family)"},
        {"window_title", FieldType::Text, "title of its window (the first visible one with a title); null "
                                          "without one"},
    },
    {
        {"environment", "its environment variables, in block order (empty on the 9x family)",
         {
             {"name", FieldType::Text, "variable name (a per-drive entry without its leading \"=\")"},
             {"value", FieldType::Text, "its value"},
         }},
    }};

int Params(const CliArguments& arguments)
{
    uint32_t pid = 0;
    const std::string& operand = arguments.Operands()[0];
    if (!ProcessIdText::Parse(operand, pid)) return CliError::Usage("'" + operand + "' is not a process id");

    ProcessSnapshot snapshot;
    if (!snapshot.EnumProcesses(nullptr, 0)) return CliError::Failure("the process list could not be read");
    const ProcessRecord* record = nullptr;
    for (const ProcessRecord& candidate : snapshot.Processes())
        if (candidate.dwProcessId == pid) record = &candidate;
    if (!record) return CliError::Failure("no process with id " + std::to_string(pid));

    TopLevelWindowList windows;
    windows.Collect();
    ProcessInformation information;
    information.Load(*record, snapshot, windows);

    if (arguments.Format() == RecordWriter::Table) {
        for (int field = 0; field < ProcessInformation::FieldCount; ++field)
            RecordValues::Out(TabText::Row({ProcessInformation::Label(static_cast<ProcessInformation::Field>(field)),
                                            TabText::Escape(information.strValues[field])}));
        for (const EnvironmentTable::Row& row : information.environment)
            RecordValues::Out(TabText::Row({"Environment", TabText::Escape(row.first), TabText::Escape(row.second)}));
        return 0;
    }
    const std::string notAvailable = ValueFormatter::NotAvailable();
    Record out;
    out.Number(pid);
    for (int field = 0; field < ProcessInformation::FieldCount; ++field) {
        // The window shows line feeds as "\n"; the record keeps the command line as it is.
        if (field == ProcessInformation::CommandLine)
            out.Value(RecordValues::Known(record->strCommandLine, "..."));
        else
            out.Value(RecordValues::Known(information.strValues[field], notAvailable));
    }
    for (const EnvironmentTable::Row& row : information.environment)
        out.List(0).push_back(Record().Text(row.first).Text(row.second));
    RecordWriter writer = RecordValues::Stdout(arguments.Format(), kParamsSchema);
    writer.Begin();
    writer.Write(out);
    writer.End();
    return 0;
}

const RecordSchema kModInfoSchema = {
    "node of the window's tree, in tree order",
    {
        {"node", FieldType::Text, "the node's text: the module's name, Version, Resources, Imports, an "
                                  "imported DLL, Exports"},
        {"parent", FieldType::Text, "the text of the node it hangs below; null for the module"},
        {"type", FieldType::Integer, "0 module, 1 version, 2 resources, 3 imports, 4 an imported DLL, 5 exports"},
    },
    {
        {"cells", "the node's list, cell by cell in the order it is filled",
         {
             {"row", FieldType::Integer, "0-based row of the list"},
             {"column", FieldType::Text, "the column's title"},
             {"value", FieldType::Text, "the cell's text as the window shows it"},
         }},
    }};

int ModInfo(const CliArguments& arguments)
{
    const std::string& file = arguments.Operands()[0];
    if (file.empty()) return CliError::Usage("the FILE is empty");
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(file.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return CliError::FileFailure(file, "could not be opened", length ? ERROR_FILENAME_EXCED_RANGE : GetLastError());
    const DWORD attributes = GetFileAttributesA(full);
    if (attributes == INVALID_FILE_ATTRIBUTES) return CliError::FileFailure(file, "could not be opened", GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return CliError::Failure("'" + file + "' is a folder, not a file");

    ModuleInformation information(OsVersion().Is9xFamily());
    information.Load(full);
    const std::vector<ModuleInformation::Node> nodes = information.Nodes();
    ModuleInformation::Table table;
    if (arguments.Format() == RecordWriter::Table) {
        for (const ModuleInformation::Node& node : nodes) {
            RecordValues::Out("== " + TabText::Escape(node.strText) + "\n");
            information.Fill(node.dwValue, table);
            if (!table.columns.empty()) RecordValues::Out(TabText::Row(Escaped(table.columns)));
            for (const ModuleInformation::Row& row : table.rows) RecordValues::Out(TabText::Row(Escaped(row.cells)));
        }
        return 0;
    }
    RecordWriter writer = RecordValues::Stdout(arguments.Format(), kModInfoSchema);
    writer.Begin();
    for (const ModuleInformation::Node& node : nodes) {
        Record record;
        record.Text(node.strText);
        if (node.nParent >= 0 && static_cast<size_t>(node.nParent) < nodes.size())
            record.Text(nodes[node.nParent].strText);
        else
            record.Missing();
        record.Number(ModuleInformation::NodeTypeOf(node.dwValue));
        information.Fill(node.dwValue, table);
        std::vector<Record>& cells = record.List(0);
        for (size_t row = 0; row < table.rows.size(); ++row)
            for (size_t column = 0; column < table.rows[row].cells.size(); ++column)
                cells.push_back(Record()
                                    .Number(row)
                                    .Text(column < table.columns.size() ? table.columns[column] : std::string())
                                    .Text(table.rows[row].cells[column]));
        writer.Write(record);
    }
    writer.End();
    return 0;
}

} // namespace

const CliCommand CliCommands::kParams = {
    "params", "PID", "what the process information window shows of a process",
    "The table is six <label>, tab, <value> lines with the window's labels\n"
    "(Description, ImagePathName, Commandline, Current Directory, Dll Path,\n"
    "Window Title), then one Environment, tab, <variable>, tab, <value> line per\n"
    "environment variable; values that cannot be read are \"Not Available\" (on\n"
    "the 9x family the current directory, DLL path and environment always are),\n"
    "line feeds of the command line show as \\n as in the window.\n"
    "\n"
    "Exit status 1 when the process does not exist.\n",
    {}, &kParamsSchema, 1, 1, Params};

const CliCommand CliCommands::kModInfo = {
    "modinfo", "FILE", "what the module information window shows of a file: its tree and lists",
    "The table is, per node of the window's tree in tree order, a line\n"
    "\"== <node text>\", then that node's list: its column titles and its rows,\n"
    "tab-separated, in the order they are filled (a node whose list has no\n"
    "columns prints only its line).\n"
    "\n"
    "Exit status 1 when the file cannot be found or is a folder.\n",
    {}, &kModInfoSchema, 1, 1, ModInfo};
