// tarnwick-cli: the console companion of tarnwick.exe.
#include "CliCommands.h"

#include <fcntl.h>
#include <io.h>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char kUsage[] =
    "Usage: tarnwick-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  os                      kind and description of the running Windows\n"
    "  pe [--closure] FILE...  PE image facts: imports, exports, resource types,\n"
    "                          and with --closure the static import closure\n"
    "  ps [--raw|--tree]       the process view's rows (tab-separated, with a\n"
    "                          header); --tree: in tree order, names indented\n"
    "                          two spaces per level; --raw: the process records\n"
    "  modules [--raw] [--sort name|ext|order|relocated|dynamic [--desc]] PID\n"
    "                          the module view's rows of the process, with\n"
    "                          Dynamic/Static and Relocated/Preferred, in load\n"
    "                          order or in the view's sort mode; --raw: records\n"
    "  finddll PATTERN         processes with modules matching PATTERN\n"
    "                          (* ? [a-z] [!a-z], case-insensitive)\n"
    "  machine                 computer, OS, user (and NetWare user)\n"
    "  report --format text|xml|html --out FILE [PID...]\n"
    "                          a report of the processes (all when none given);\n"
    "                          Ctrl+C aborts and removes what was written\n"
    "  cpu [COUNT]             total processor usage once per second, COUNT\n"
    "                          values (default 5), as the CPU graph receives them\n"
    "  params PID              what the process information window shows: six\n"
    "                          <label><TAB><value> lines, then one\n"
    "                          Environment<TAB><variable><TAB><value> per variable\n"
    "  modinfo FILE            what the module information window shows: per tree\n"
    "                          node '== <node>', its list's header and rows\n"
    "  plugins [FOLDER]        what the plug-in loader makes of each DLL below\n"
    "                          FOLDER (default: the program's Plugins folder):\n"
    "                          Path, Result, Kind, Version, Name\n"
    "  languages               the language modules in Language\\ and whether\n"
    "                          the choose-language dialog lists them\n"
    "  helpfile LANGID         the help file the Help command opens for that\n"
    "                          language (decimal or 0x...); exit 1 when none\n"
    "  src FILE...             search plugins as read: name, description, action,\n"
    "                          user, input, icon and valid lines (exit 1: any invalid)\n"
    "  search-url SRC|builtin [--lang CODE] TERM\n"
    "                          the query address for TERM\n"
    "  engines                 the search engines active at start-up (ID, name, file)\n"
    "  pipe \"COMMAND\"         runs COMMAND as the Console window does and prints\n"
    "                          its text (exit 1 when it cannot be started)\n"
    "  settings [FILE]         the settings record as the program reads it (default:\n"
    "                          Tarnwick.ui beside the tool): status accepted or\n"
    "                          rejected, then <field><TAB><value> lines in record\n"
    "                          order; exit 1 when the file cannot be read\n"
    "  --help                  this text\n"
    "\n"
    "Exit status: 0 success, 1 failure, 2 bad command line.\n";

struct Command {
    const char* name;
    int (*run)(const CliCommands::Args&);
};

const Command kCommands[] = {
    {"os", CliCommands::Os},
    {"pe", CliCommands::Pe},
    {"ps", CliCommands::Ps},
    {"modules", CliCommands::Modules},
    {"finddll", CliCommands::FindDll},
    {"machine", CliCommands::Machine},
    {"report", CliCommands::Report},
    {"cpu", CliCommands::Cpu},
    {"params", CliCommands::Params},
    {"modinfo", CliCommands::ModInfo},
    {"plugins", CliCommands::Plugins},
    {"languages", CliCommands::Languages},
    {"helpfile", CliCommands::HelpFilePath},
    {"src", CliCommands::Src},
    {"search-url", CliCommands::SearchUrl},
    {"engines", CliCommands::Engines},
    {"pipe", CliCommands::Pipe},
    {"settings", CliCommands::Settings},
};

} // namespace

int CliCommands::UsageError(const std::string& message)
{
    std::fprintf(stderr, "tarnwick-cli: %s\nTry 'tarnwick-cli --help'.\n", message.c_str());
    return 2;
}

int main(int argc, char** argv)
{
    // Lines end in "\n" alone, whatever reads them.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) return CliCommands::UsageError("no command given");
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    CliCommands::Args args(argv + 2, argv + argc);
    for (const Command& command : kCommands)
        if (name == command.name) {
            int status = command.run(args);
            std::fflush(stdout);
            return status;
        }
    return CliCommands::UsageError("unknown command '" + name + "'");
}
