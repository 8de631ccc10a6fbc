// tarnwick-cli: the console companion of tarnwick.exe. The commands are
// listed in kCommands below; see CliCommands.h for how one is added.
#include "cli/CliCommands.h"
#include "cli/CliHelp.h"
#include "TarnwickVersion.h"

#include <fcntl.h>
#include <io.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::vector<const CliCommand*> Table()
{
    return {
        &CliCommands::kOs,
        &CliCommands::kPs,
        &CliCommands::kModules,
        &CliCommands::kFindDll,
        &CliCommands::kPe,
        &CliCommands::kMachine,
        &CliCommands::kReport,
        &CliCommands::kKill,
        &CliCommands::kParams,
        &CliCommands::kModInfo,
        &CliCommands::kPlugins,
        &CliCommands::kLanguages,
        &CliCommands::kHelpFile,
        &CliCommands::kSrc,
        &CliCommands::kSearchUrl,
        &CliCommands::kEngines,
        &CliCommands::kPipe,
        &CliCommands::kCpu,
        &CliCommands::kSettings,
    };
}

const CliCommand* Find(const std::string& name)
{
    for (const CliCommand* command : CliCommands::All())
        if (CliArguments::SameName(name, command->name)) return command;
    return nullptr;
}

bool IsHelp(const std::string& word)
{
    return word == "-h" || word == "/?" || CliArguments::SameName(word, "--help");
}

void Print(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

} // namespace

const std::vector<const CliCommand*>& CliCommands::All()
{
    static const std::vector<const CliCommand*> table = Table();
    return table;
}

int CliCommands::UsageError(const std::string& message)
{
    return CliError::Usage(message);
}

int main(int argc, char** argv)
{
    // Lines end as each format says, whatever reads them.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) return CliError::Usage("no command given");
    const std::string name = argv[1];
    if (IsHelp(name) || CliArguments::SameName(name, "help")) {
        const CliCommand* command = argc > 2 && CliArguments::SameName(name, "help") ? Find(argv[2]) : nullptr;
        if (argc > 2 && CliArguments::SameName(name, "help") && !command)
            return CliError::Usage("unknown command '" + std::string(argv[2]) + "'");
        Print(command ? CliHelp::Command(*command) : CliHelp::Tool(CliCommands::All()));
        return 0;
    }
    if (CliArguments::SameName(name, "--version")) {
        Print("tarnwick-cli " TARNWICK_VERSION_TEXT "\n");
        return 0;
    }
    const CliCommand* command = Find(name);
    if (!command) return CliError::Usage("unknown command '" + name + "'");

    CliError::SetCommand(command->name);
    CliArguments arguments;
    switch (arguments.Parse(*command, std::vector<std::string>(argv + 2, argv + argc))) {
    case CliArguments::Help: Print(CliHelp::Command(*command)); return 0;
    case CliArguments::Error: return CliError::Usage(arguments.Message());
    default: break;
    }
    int status = command->run(arguments);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        if (status == 0) status = CliError::Failure(std::string("standard output could not be written: ")
                                                    + std::strerror(error));
    }
    return status;
}
