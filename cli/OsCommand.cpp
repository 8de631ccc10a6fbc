#include "CliCommands.h"
#include "TabText.h"

#include "../sysutils/OsVersion.h"

#include <cstdio>

int CliCommands::Os(const Args& args)
{
    if (!args.empty()) return UsageError("'os' takes no arguments");
    OsVersion os;
    std::printf("kind=%u\t%s\n", static_cast<unsigned>(os.nKind), TabText::Escape(os.strDescription).c_str());
    return 0;
}
