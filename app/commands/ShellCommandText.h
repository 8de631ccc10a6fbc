#pragma once

#include <cstdint>
#include <string>

// Command lines and addresses that the process commands hand to the system.
class ShellCommandText {
public:
    enum WebPage { HomePage, PluginsPage };

    static const char kHomeSite[];

    // Drive and directory of a file path with the trailing separator; empty when
    // the path names no folder (such as "..." for an unreadable path).
    static std::string FolderOf(const std::string& path);
    // explorer.exe with the folder quoted, so that a comma or blank in it stays part of it.
    static std::string ExplorerCommandLine(const std::string& folder);
    // The value of ComSpec, or the family's interpreter when it is empty.
    static std::string CommandInterpreter(const std::string& comSpec, bool nineXFamily);
    // "<site>/de/..." when the primary language of `languageId` is German, else "<site>/en/...".
    static std::string WebAddress(WebPage page, uint16_t languageId);
};
