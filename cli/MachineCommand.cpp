// tarnwick-cli machine: the machine description of the program's tooltip.
#include "cli/CliCommands.h"
#include "cli/RecordValues.h"
#include "cli/TabText.h"

#include "sysinfo/MachineDescription.h"
#include "sysutils/OsVersion.h"

namespace {

const RecordSchema kSchema = {
    "machine",
    {
        {"computer", FieldType::Text, "computer name"},
        {"user", FieldType::Text, "name of the local user"},
        {"netware_user", FieldType::Text, "NetWare user name; null without a NetWare client or login"},
        {"os", FieldType::Text, "the OS description"},
        {"os_kind", FieldType::Integer, "OS kind (see the os command)"},
    },
    {}};

int Run(const CliArguments& arguments)
{
    char netWare[261] = {};
    MachineDescription::GetNetWareUserName(netWare, sizeof(netWare));
    OsVersion os;
    if (arguments.Format() != RecordWriter::Table) {
        RecordWriter out = RecordValues::Stdout(arguments.Format(), kSchema);
        out.Begin();
        out.Write(Record()
                      .Text(MachineDescription::ComputerName())
                      .Text(MachineDescription::UserName())
                      .Value(RecordValues::Known(netWare))
                      .Text(os.strDescription)
                      .Number(os.nKind));
        out.End();
        return 0;
    }
    std::string text = MachineDescription::FormatMachineDescription(
        TabText::Escape(MachineDescription::ComputerName()), TabText::Escape(os.strDescription),
        TabText::Escape(MachineDescription::UserName()), TabText::Escape(netWare));
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    RecordValues::Out(out + "\n");
    return 0;
}

} // namespace

const CliCommand CliCommands::kMachine = {
    "machine", "", "computer, OS, user (and NetWare user)",
    "The table is the program's machine description: \"Machine: \", \"OS: \",\n"
    "\"Local User: \" lines, and \"NetWare User: \" when there is one.\n",
    {}, &kSchema, 0, 0, Run};
