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
int Kill(const Args& args);

// The formatted views of ps and modules.
int PsFormatted();
int ModulesFormatted(uint32_t processId);

// Writes "tarnwick-cli: <message>" and the usage hint to standard error; returns 2.
int UsageError(const std::string& message);
} // namespace CliCommands
