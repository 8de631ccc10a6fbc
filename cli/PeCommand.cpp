#include "CliCommands.h"

int CliCommands::Pe(const Args&)
{
    return UsageError("'pe' is not available yet");
}
