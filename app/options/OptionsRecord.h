#pragma once

#include "app/settings/UserSettings.h"

// The fields of the settings that the Options dialog edits, and how its
// result is taken over.
class OptionsRecord {
public:
    // What TakeBack changed.
    enum Change : unsigned {
        kBars = 1u << 0,            // toolbar, infobar, status bar
        kFont = 1u << 1,
        kNesting = 1u << 2,         // bResolveProcessDependencies
        kHighlights = 1u << 3,      // bHighlightServices, bHighlightDynamicLoads
        kTooltips = 1u << 4,
        kHideWhenMinimized = 1u << 5,
        kProcessColumns = 1u << 6,  // visible flags
        kModuleColumns = 1u << 7,
        kViewColors = 1u << 8,      // text, background, services, dynamic loads
        kCpuColors = 1u << 9,
        kFormats = 1u << 10,        // date and time
        kCopy = 1u << 11,
    };
    // Changes that the views show only after they are built again.
    static const unsigned kRebuildViews =
        kFont | kNesting | kHighlights | kProcessColumns | kModuleColumns | kViewColors | kFormats;

    // Copies the edited fields of `edited` into `target`, the others stay.
    // A view whose set of visible columns changed gets the default column
    // order back (the stored one names other columns). Returns the changes.
    static unsigned TakeBack(const UserSettings& edited, UserSettings& target);
    // The same with the live view's settings the pages edit: highlighting
    // of new and ended processes and its colours (kViewColors), the live
    // columns' visible flags (kProcessColumns) and copy bits (kCopy). When
    // the process list's visible columns changed (old or new ones) its
    // stored whole order goes as well. Update speed, widths and sort stay.
    static unsigned TakeBack(const UserSettings& edited, const LiveSettings& editedLive, UserSettings& target,
                             LiveSettings& targetLive);
};
