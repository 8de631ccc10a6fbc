#pragma once

#include <cstdint>
#include <string>

// Names and paths of language modules and help files; no OS calls. Every
// path here must fit a 260-byte buffer: one that does not counts as missing.
class LanguageFiles {
public:
    static constexpr size_t kMaxPath = 259;

    // "de", "es", "fr", "it", "nl" for those primary languages, else "en".
    static const char* Prefix(uint16_t languageId);

    // A bare "*_tarnwick.lang" file name: no folder, no drive, no wildcard,
    // not longer than a path may be.
    static bool IsModuleName(const std::string& name);

    // folder + name when the result fits; false otherwise (out untouched).
    static bool Join(const std::string& folder, const std::string& name, std::string& out);

    // "<folder>Doc\<prefix>_tarnwick.htm" and the English one; empty when
    // they do not fit. The program folder ends with "\".
    static std::string HelpCandidate(const std::string& programFolder, const char* prefix);
};
