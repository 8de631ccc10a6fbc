#pragma once

#include <windows.h>
#include <string>

// The HTML help of the interface language: "Doc\<prefix>_tarnwick.htm",
// else "Doc\en_tarnwick.htm".
class HelpFile {
public:
    // programFolder ends with "\". The first candidate that exists, or "".
    static std::string Find(const std::string& programFolder, WORD languageId);

    // Copies the help file's path into the buffer (at most size bytes, always
    // terminated) and returns its length; -1 with the "Help file not found!"
    // box (owned by owner) when there is none or it does not fit.
    static int GetHelpFile(char* buffer, int size, WORD languageId, HWND owner);
    // The same for a given program folder.
    static int GetHelpFile(const std::string& programFolder, char* buffer, int size, WORD languageId, HWND owner);

    // The help command: opens the file with the shell's "open" verb.
    static bool Open(HWND owner, WORD languageId);

    // The program's folder with its trailing "\" ("" when it does not fit).
    static std::string ProgramFolder();
};
