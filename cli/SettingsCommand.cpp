#include "CliCommands.h"

#include "SettingsListing.h"
#include "../app/UserSettingsFile.h"

#include <cstdio>

int CliCommands::Settings(const Args& args)
{
    if (args.size() > 1) return UsageError("'settings' takes at most one file");
    const std::string path = args.empty() ? UserSettingsFile::DefaultPath() : args[0];
    UserSettings settings;
    UserSettingsFile::SetDefaults(settings);
    const UserSettingsFile::LoadResult result = UserSettingsFile::LoadFile(settings, path);
    if (result == UserSettingsFile::LoadResult::Unreadable) {
        std::fprintf(stderr, "tarnwick-cli: cannot read '%s'\n", path.c_str());
        return 1;
    }
    std::fputs(result == UserSettingsFile::LoadResult::Accepted ? "status\taccepted\n" : "status\trejected\n", stdout);
    std::fputs(SettingsListing::Text(settings).c_str(), stdout);
    return 0;
}
