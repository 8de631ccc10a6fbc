#include "cli/CliError.h"

#include <windows.h>
#include <cstdio>

namespace {

std::string g_command;

void WriteLine(const std::string& text)
{
    const std::string prefix = g_command.empty() ? "tarnwick-cli: " : "tarnwick-cli: " + g_command + ": ";
    const std::string line = prefix + CliError::OneLine(text) + "\n";
    std::fflush(stdout);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace

void CliError::SetCommand(const std::string& name)
{
    g_command = name;
}

const std::string& CliError::CommandName()
{
    return g_command;
}

std::string CliError::OneLine(const std::string& text)
{
    std::string out;
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            char escape[8];
            snprintf(escape, sizeof(escape), "\\x%02X", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out;
}

int CliError::Usage(const std::string& message)
{
    const std::string hint = g_command.empty() ? "tarnwick-cli --help" : "tarnwick-cli " + g_command + " --help";
    WriteLine(message + " (see '" + hint + "')");
    return 2;
}

int CliError::Failure(const std::string& message)
{
    WriteLine(message);
    return 1;
}

int CliError::FileFailure(const std::string& path, const std::string& what, unsigned long systemError)
{
    WriteLine("'" + path + "' " + what + ": " + SystemMessage(systemError));
    return 1;
}

std::string CliError::SystemMessage(unsigned long systemError)
{
    if (systemError == 0) return "the system gave no reason";
    char buffer[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        systemError, 0, buffer, sizeof(buffer) - 1, nullptr);
    std::string text;
    for (DWORD i = 0; i < length && buffer[i]; ++i) text += buffer[i] == '\r' || buffer[i] == '\n' ? ' ' : buffer[i];
    while (!text.empty() && (text.back() == ' ' || text.back() == '.')) text.pop_back();
    if (text.empty()) text = "error " + std::to_string(systemError);
    return text;
}
