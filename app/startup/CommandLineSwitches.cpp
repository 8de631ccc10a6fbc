#include "app/startup/CommandLineSwitches.h"

#include <cstring>

namespace {
bool Holds(const char* line, const char* text)
{
    return line && std::strstr(line, text) != nullptr;
}
} // namespace

CommandLineSwitches::CommandLineSwitches(const char* commandLine)
    : bPriorityNormal(Holds(commandLine, "--priority-normal")),
      bNoSplash(Holds(commandLine, "--nosplash")),
      bDebug(Holds(commandLine, "--debug")),
      bDisableOwnerDrawMenus(Holds(commandLine, "--disable-odm"))
{
}
