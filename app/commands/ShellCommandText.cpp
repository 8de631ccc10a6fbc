#include "app/commands/ShellCommandText.h"

#include "TarnwickVersion.h"

const char ShellCommandText::kHomeSite[] = TARNWICK_HOME_SITE;

std::string ShellCommandText::FolderOf(const std::string& path)
{
    size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos) return std::string();
    return path.substr(0, separator + 1);
}

std::string ShellCommandText::ExplorerCommandLine(const std::string& folder)
{
    return "explorer.exe \"" + folder + "\"";
}

std::string ShellCommandText::CommandInterpreter(const std::string& comSpec, bool nineXFamily)
{
    if (!comSpec.empty()) return comSpec;
    return nineXFamily ? "command.com" : "cmd.exe";
}

std::string ShellCommandText::WebAddress(WebPage page, uint16_t languageId)
{
    const char* language = (languageId & 0x3FF) == 7 ? "de" : "en";
    const char* file = page == PluginsPage ? "tarnwick_plugins.htm" : "tarnwick.htm";
    return std::string(kHomeSite) + "/" + language + "/" + file;
}
