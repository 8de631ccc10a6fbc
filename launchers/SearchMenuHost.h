#pragma once

#include <windows.h>
#include <string>

// What the information windows need from the internet search: the menu entry
// of the configured engines and the search itself. Without a host the entry
// is the plain command 40094, which then does nothing.
class SearchMenuHost {
public:
    virtual ~SearchMenuHost() {}
    // A popup listing the configured engines (command ids 2003 to 4003), or null
    // when the plain command 40094 should stand instead. The caller destroys it.
    virtual HMENU CreateEngineMenu() = 0;
    // Searches `term` with the default engine (40094) or the engine of `commandId`.
    virtual void Search(UINT commandId, const std::string& term) = 0;
};
