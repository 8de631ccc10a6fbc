#pragma once

#include "app/settings/UserSettings.h"

// After a settings file was accepted: fields whose values would index past
// the views' arrays or read past a text take their defaults, so that a
// damaged file cannot do harm.
class UserSettingsCheck {
public:
    // Returns the number of fields replaced.
    static int Repair(UserSettings& settings, const UserSettings& defaults);
};
