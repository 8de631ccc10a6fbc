#pragma once

#include "app/settings/UserSettings.h"

#include <string>

// The settings record as text: one "name<TAB>value" line per field in record
// order. Numbers are decimal, colours 0x%08X, texts escaped (read to their
// field's end at most), the font "face<TAB>height", a column
// "visible<TAB>width". The views' scratch values are left out.
class SettingsListing {
public:
    static std::string Text(const UserSettings& settings);
    // The live view's settings the same way: "live.nUpdateSeconds<TAB>0",
    // colours and the copy mask 0x%08X, a column "visible<TAB>width", the
    // order its ids (none: nothing after the name), the sort column -1 when
    // the record's sort counts.
    static std::string LiveText(const LiveSettings& live);
};
