#include "launchers/SearchEngine.h"

#include <cctype>

void SearchEngine::Clear()
{
    *this = SearchEngine();
}

bool SearchEngine::IsWebAddress(const std::string& action)
{
    // The shell "open"s anything else too: file:///x.exe would run a program.
    static const char* const kSchemes[] = {"http://", "https://"};
    for (const char* scheme : kSchemes) {
        size_t i = 0;
        while (scheme[i] && i < action.size()
               && std::tolower(static_cast<unsigned char>(action[i])) == scheme[i])
            ++i;
        if (!scheme[i] && action.size() > i) return true;
    }
    return false;
}

bool SearchEngine::IsValid() const
{
    return !strName.empty() && !strDescription.empty() && !strAction.empty() && !strUserParam.empty()
        && IsWebAddress(strAction) && strAction.size() <= kMaxAddress && aInputs.size() <= kMaxInputs;
}
