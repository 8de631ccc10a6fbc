// tarnwick-cli finddll: the processes that have modules matching a pattern.
#include "cli/CliCommands.h"
#include "cli/RecordValues.h"
#include "cli/TabText.h"

#include "sysinfo/ProcessSnapshot.h"
#include "tools/DllSearch.h"

namespace {

const RecordSchema kSchema = {
    "process with matching modules",
    {
        {"pid", FieldType::Integer, "process id"},
        {"process", FieldType::Text, "file name of the process's executable"},
    },
    {
        {"modules", "the matching modules, in load order",
         {
             {"module", FieldType::Text, "file name of the module"},
             {"path", FieldType::Text, "full path of the module"},
         }},
    }};

int Run(const CliArguments& arguments)
{
    const std::string& pattern = arguments.Operands()[0];
    if (pattern.empty()) return CliError::Usage("the PATTERN is empty");
    ProcessSnapshot snapshot;
    std::vector<DllSearchHit> hits;
    if (!DllSearch::Run(pattern, snapshot, hits, nullptr, nullptr, arguments.Has("path")))
        return CliError::Failure("the process list could not be read");

    if (arguments.Format() == RecordWriter::Table) {
        for (const DllSearchHit& hit : hits) {
            RecordValues::Out(TabText::Escape(hit.strProcessName) + " [" + std::to_string(hit.dwProcessId) + "]\n");
            for (const DllSearchHit::Module& module : hit.modules)
                RecordValues::Out("\t" + TabText::Escape(module.strName) + "\t" + TabText::Escape(module.strPath)
                                  + "\n");
        }
        return 0;
    }
    RecordWriter out = RecordValues::Stdout(arguments.Format(), kSchema);
    out.Begin();
    for (const DllSearchHit& hit : hits) {
        Record record;
        record.Number(hit.dwProcessId).Text(hit.strProcessName);
        for (const DllSearchHit::Module& module : hit.modules)
            record.List(0).push_back(Record().Text(module.strName).Text(module.strPath));
        out.Write(record);
    }
    out.End();
    return 0;
}

} // namespace

const CliCommand CliCommands::kFindDll = {
    "finddll", "PATTERN", "the processes with modules matching PATTERN, as Find DLL finds them",
    "PATTERN matches the module's file name: * ? [a-z] [!a-z] (^ negates too), a\n"
    "backslash quotes the next character, any case; the whole name must match\n"
    "(kernel32* finds kernel32.dll, kernel32 does not). A pattern that starts\n"
    "with \"-\" needs \"--\" before it.\n"
    "\n"
    "The table is a line \"NAME [PID]\" per process (decimal on every family),\n"
    "and below it a line per matching module: a tab, the module's name, a tab,\n"
    "its path. Processes whose modules cannot be read are left out; no match is\n"
    "no failure.\n",
    {
        {"path", nullptr, nullptr,
         "match the module's full path instead of its file name; backslashes are then themselves "
         "(*\\system32\\* finds every module of that folder)", nullptr},
    },
    &kSchema, 1, 1, Run};
