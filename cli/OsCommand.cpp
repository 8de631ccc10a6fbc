#include "cli/CliCommands.h"
#include "cli/RecordValues.h"
#include "cli/TabText.h"

#include "sysutils/OsVersion.h"

#include <cstdio>

namespace {

const RecordSchema kSchema = {
    "system",
    {
        {"kind", FieldType::Integer, "OS kind: 1-4 the 9x family (95, 98, 98 SE, ME), 5-9 the NT family "
                                     "(NT 4, 2000, XP, Server 2003, later), 0 unknown"},
        {"family", FieldType::Text, "\"9x\" or \"NT\" (every system outside the 9x family)"},
        {"description", FieldType::Text, "the OS description"},
    },
    {}};

int Run(const CliArguments& arguments)
{
    OsVersion os;
    if (arguments.Format() == RecordWriter::Table) {
        std::printf("kind=%u\t%s\n", static_cast<unsigned>(os.nKind), TabText::Escape(os.strDescription).c_str());
        return 0;
    }
    RecordWriter out = RecordValues::Stdout(arguments.Format(), kSchema);
    out.Begin();
    out.Write(Record().Number(os.nKind).Text(os.Is9xFamily() ? "9x" : "NT").Text(os.strDescription));
    out.End();
    return 0;
}

} // namespace

const CliCommand CliCommands::kOs = {
    "os", "", "kind and description of the running Windows",
    "The table is one line: kind=<n>, a tab, the description.\n",
    {}, &kSchema, 0, 0, Run};
