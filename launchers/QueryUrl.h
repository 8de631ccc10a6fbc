#pragma once

#include <cstdint>
#include <string>

class SearchEngine;

// Query addresses of search engines and the built-in engine. Nothing here
// calls the operating system.
class QueryUrl {
public:
    // Converts text of the system code page to UTF-8; null: the text is taken as it is.
    typedef std::string (*ToUtf8)(const std::string& text);

    // Every byte but A-Z a-z 0-9 - _ . ~ as %XX.
    static std::string Encode(const std::string& utf8);
    // The same, but %XX sequences already in the text stay as written.
    static std::string EncodeKeepingEscapes(const std::string& utf8);
    // The action with spaces, quotes, controls and non-ASCII bytes escaped and
    // without a "#" fragment.
    static std::string CleanAction(const std::string& utf8);

    // action ? user=term & key=value ..., every part encoded; an action that
    // already holds "?" is continued with "&".
    static std::string BuildQueryUrl(const SearchEngine& engine, const std::string& term, ToUtf8 toUtf8 = nullptr);

    // The built-in engine: "Google", parameter "q", on the site of the
    // language's country, ".com" for English and every code without one.
    static const char kBuiltinTemplate[];
    static std::string BuiltinDomain(const std::string& languageCode);
    static void MakeBuiltinEngine(const std::string& languageCode, SearchEngine& engine);
    // The two-letter prefix of a Windows language id: de es fr it nl, else en.
    static std::string LanguagePrefix(uint16_t languageId);
};
