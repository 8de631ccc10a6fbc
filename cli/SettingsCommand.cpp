// tarnwick-cli settings: the settings record as the program reads it.
#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/CliError.h"
#include "cli/RecordValues.h"
#include "cli/SettingsListing.h"

#include "app/settings/UserSettingsFile.h"

namespace {

int Settings(const CliArguments& arguments)
{
    const std::string path =
        arguments.Operands().empty() ? UserSettingsFile::DefaultPath() : arguments.Operands()[0];
    UserSettings settings;
    UserSettingsFile::SetDefaults(settings);
    const UserSettingsFile::LoadResult result = UserSettingsFile::LoadFile(settings, path);
    if (result == UserSettingsFile::LoadResult::Unreadable)
        return CliError::Failure("cannot read '" + path + "'");
    RecordValues::Out(result == UserSettingsFile::LoadResult::Accepted ? "status\taccepted\n" : "status\trejected\n");
    RecordValues::Out(SettingsListing::Text(settings));
    // The live view's settings beside it (their defaults without the file).
    LiveSettings live;
    const bool liveRead = UserSettingsFile::LoadLive(live, path);
    RecordValues::Out(liveRead ? "live.status\tread\n" : "live.status\tdefaults\n");
    RecordValues::Out(SettingsListing::LiveText(live));
    return 0;
}

} // namespace

const CliCommand CliCommands::kSettings = {
    "settings", "[FILE]", "the settings record as the program reads it",
    "Reads FILE (default: Tarnwick.ui beside the tool) the way the program\n"
    "does: the record over the defaults, damaged fields repaired. Prints\n"
    "status<TAB>accepted or rejected (a rejected file: the defaults the program\n"
    "would use), then one <field><TAB><value> line per field in record order.\n"
    "Then the live view's settings from Tarnwick.live beside FILE:\n"
    "live.status<TAB>read or defaults (no such file), and one live.<field> line\n"
    "each (update speed, highlighting and its colours, the columns 12 to 15,\n"
    "their order, sort and copy bits).\n"
    "Exit status 1 when the file cannot be read.\n",
    {}, nullptr, 0, 1, Settings};
