#pragma once

#include "app/settings/UserSettings.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// What the Colors & Formats page changes in the settings: the seven colours
// of the settings record and the two of the live view (new and ended
// processes, in LiveSettings) in its list, and the date and time pictures
// with their "User default" and "Other" choices.
class ColorsAndFormats {
public:
    static const size_t kColorCount = 7;
    // Entries 7 "New Processes" and 8 "Ended Processes".
    static const size_t kAllColorCount = 9;
    // crCpuBackground's value for "the system's own background".
    static const uint32_t kSystemBackground = 0xFF000000u;
    // Pictures hold at most this many characters (and a terminator).
    static const size_t kPictureChars = 63;

    // String of the entry's name (190 to 196, 215 and 216).
    static unsigned ColorString(size_t entry);
    static uint32_t Color(const UserSettings& settings, size_t entry);
    static void SetColor(UserSettings& settings, size_t entry, uint32_t color);
    // Any of the nine entries.
    static uint32_t Color(const UserSettings& settings, const LiveSettings& live, size_t entry);
    static void SetColor(UserSettings& settings, LiveSettings& live, size_t entry, uint32_t color);
    static void SetDefaultColor(UserSettings& settings, LiveSettings& live, size_t entry);
    // What "Default Color" stores: the fixed colours, and for the CPU
    // background the marker of the system's background.
    static uint32_t DefaultColor(size_t entry);
    static void SetDefaultColor(UserSettings& settings, size_t entry);
    // The colour a stored value is drawn with and the colour dialog starts
    // at: the marker stands for `face` (the button-face colour).
    static uint32_t Shown(uint32_t value, uint32_t face);

    // A text field read to its terminator or to its end, whichever comes first.
    template <size_t N>
    static std::string FieldText(const char (&field)[N])
    {
        const void* end = std::memchr(field, 0, N);
        return std::string(field, end ? static_cast<const char*>(end) - field : N);
    }
    // At most kPictureChars characters of `text` into a picture field.
    static void TakePicture(char (&field)[64], const std::string& text);

    // Date "User default": the long or short date of the user's locale,
    // whose picture (`localePicture`) is stored as well.
    static void UseDefaultDate(UserSettings& settings, bool longDate, const std::string& localePicture);
    // Date "Other": the picture of the edit field from now on.
    static void UseOtherDate(UserSettings& settings);
    static void SetDatePicture(UserSettings& settings, const std::string& text);
    static void UseDefaultTime(UserSettings& settings, const std::string& localePicture);
    static void UseOtherTime(UserSettings& settings);
    static void SetTimePicture(UserSettings& settings, const std::string& text);
};
