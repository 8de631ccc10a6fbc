#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Subcommands of tarnwick-cli. Each returns the process exit status:
// 0 success, 1 failure, 2 bad command line.
namespace CliCommands {
typedef std::vector<std::string> Args;

int Os(const Args& args);
int Pe(const Args& args);
int Ps(const Args& args);
int Modules(const Args& args);
int FindDll(const Args& args);
int Machine(const Args& args);
int Report(const Args& args);
int Cpu(const Args& args);
int Plugins(const Args& args);
int Languages(const Args& args);
int HelpFilePath(const Args& args);
int Params(const Args& args);
int ModInfo(const Args& args);
int Src(const Args& args);
int SearchUrl(const Args& args);
int Engines(const Args& args);
int Pipe(const Args& args);
int Settings(const Args& args);

// The order of the formatted module rows: enumeration order, or by the
// module column in one of the five sort modes.
struct ModuleOrder {
    bool bSorted = false;
    uint32_t nMode = 0;
    bool bDescending = false;
};

// The formatted views of ps (in tree order with `tree`) and modules.
int PsFormatted(bool tree);
int ModulesFormatted(uint32_t processId, const ModuleOrder& order);

// Writes "tarnwick-cli: <message>" and the usage hint to standard error; returns 2.
int UsageError(const std::string& message);
} // namespace CliCommands
