#pragma once

#include "launchers/SearchEngine.h"

#include <windows.h>
#include <string>
#include <vector>

// Search-plugin files, the built-in engine and running a search.
class SearchPlugins {
public:
    // Files larger than this are skipped.
    static constexpr size_t kMaxPluginSize = 256 * 1024;

    // Reads and parses one ".src" file (UTF-8, else the ANSI code page) and
    // decodes the icon file beside it; true when the engine is valid. The
    // address parts stay UTF-8; name and description are made ANSI for menus.
    static bool LoadSearchPlugin(const std::string& path, SearchEngine& engine);
    // Every valid plugin of the folder (ending in a backslash), by file name.
    static std::vector<SearchEngine> LoadSearchPluginFolder(const std::string& folder);
    // The program folder's "SearchPlugins\".
    static std::string DefaultFolder();

    // The built-in engine for a language code, with the program's picture
    // (resource 205 of type "RT_PNG" of `module`, when it has one).
    static void LoadBuiltinEngine(HMODULE module, const std::string& languageCode, SearchEngine& engine);

    // The query address (UTF-8) for a term of the system code page.
    static std::string QueryAddress(const SearchEngine& engine, const std::string& term);
    // Hands the query to the shell's "open" (its error dialogs suppressed):
    // on the NT family through ShellExecuteExW, so that letters of any
    // script in host and path arrive as they are; else (or without it) the
    // ANSI entry with the address in its ASCII form.
    static bool SearchTheInternet(const SearchEngine& engine, const std::string& term, HWND owner);

    // Text of the system code page as UTF-8.
    static std::string AnsiToUtf8(const std::string& text);
    // UTF-8 as text of the system code page ("?" for what it cannot hold).
    static std::string Utf8ToAnsi(const std::string& text);
    // File bytes as UTF-8: kept when they are UTF-8 (a byte-order mark
    // dropped), else read as the system code page.
    static std::string ToUtf8(const std::string& bytes);
    // The whole file when it opens and holds at most maxSize bytes.
    static bool ReadSmallFile(const std::string& path, size_t maxSize, std::string& bytes);
};
