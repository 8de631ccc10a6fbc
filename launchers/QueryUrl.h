#pragma once

#include <cstdint>
#include <string>

class SearchEngine;

// Query addresses of search engines and the built-in engine, in UTF-8.
// Nothing here calls the operating system.
class QueryUrl {
public:
    // Every byte but A-Z a-z 0-9 - _ . ~ as %XX.
    static std::string Encode(const std::string& utf8);
    // The same, but %XX sequences already in the text stay as written.
    static std::string EncodeKeepingEscapes(const std::string& utf8);
    // The action with spaces, quotes, controls and the characters that may
    // not stand in an address escaped, without a "#" fragment; letters
    // beyond ASCII (host, path) stay as they are, in UTF-8.
    static std::string CleanAction(const std::string& utf8);
    // The address with every byte beyond ASCII as %XX: the form for the
    // shell's ANSI entry, where no code page may touch it.
    static std::string AsciiForm(const std::string& url);

    // action ? user=term & key=value ..., everything in UTF-8 (the engine's
    // address parts and the term); the query parts fully encoded. An action
    // that already holds "?" is continued with "&".
    static std::string BuildQueryUrl(const SearchEngine& engine, const std::string& term);

    // The built-in engine: "Google", parameter "q", on the site of the
    // language's country, ".com" for English and every code without one.
    static const char kBuiltinTemplate[];
    static std::string BuiltinDomain(const std::string& languageCode);
    static void MakeBuiltinEngine(const std::string& languageCode, SearchEngine& engine);
    // The two-letter prefix of a Windows language id: de es fr it nl, else en.
    static std::string LanguagePrefix(uint16_t languageId);
};
