#pragma once

#include "app/settings/LiveSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The live view's settings file: text, one setting a line, fields separated
// by tabs:
//   update<TAB>0|1|2|5              highlight<TAB>0|1
//   color_new<TAB>0x00BBGGRR        color_ended<TAB>0x00BBGGRR
//   column<TAB>ID<TAB>VISIBLE<TAB>WIDTH   (ID 12 to 15)
//   order<TAB>ID<TAB>ID...          sort<TAB>ID<TAB>ASCENDING   copy<TAB>MASK
// Reading trusts nothing: at most kMaxBytes are looked at, a line that does
// not read as one of these is skipped, and a value out of its range leaves
// that setting at its default; the last good line of a setting counts.
class LiveSettingsFormat {
public:
    static constexpr size_t kMaxBytes = 4096;
    static constexpr uint32_t kMaxWidth = 4096;
    // LiveSettings::Defaults().
    static void SetDefaults(LiveSettings& settings);
    // The settings read over `settings` (normally the defaults); the number of lines taken.
    static int Parse(const char* text, size_t size, LiveSettings& settings);
    static std::string Write(const LiveSettings& settings);

    static bool IsUpdateSpeed(uint32_t seconds) { return seconds == 0 || seconds == 1 || seconds == 2 || seconds == 5; }
};
