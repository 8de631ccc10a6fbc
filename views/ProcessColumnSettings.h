#pragma once

#include "app/settings/UserSettings.h"

#include <cstdint>
#include <vector>

// The process list's columns as one set of sixteen, kept in two places: ids
// 0 to 11 in the settings record (aProcessColumns, anProcessColumnOrder,
// ssProcessSort), ids 12 to 15 in LiveSettings, so that the record keeps only
// the ids older programs know. A display order that holds new columns is
// stored whole in LiveSettings, and the record gets the old columns of it in
// the same relative order; a sort by a new column is stored in LiveSettings
// and leaves the record's sort as it was.
class ProcessColumnSettings {
public:
    static const uint32_t kCount = LiveSettings::kAllColumns;

    ProcessColumnSettings(UserSettings& settings, LiveSettings& live) : settings(settings), live(live) {}

    // All sixteen by id, and back (widths and list positions; the visible flags too).
    void Get(ColumnSetting (&all)[kCount]) const;
    void Put(const ColumnSetting (&all)[kCount]);

    // The display order for the columns `shown` (in list position order):
    // the stored whole order when it names exactly them; else the record's
    // order followed by the new columns shown, when the record's names
    // exactly the old ones shown (and is not the default one); else none
    // (empty: the list's own order).
    std::vector<uint32_t> DisplayOrder(const std::vector<uint32_t>& shown) const;
    // Keeps the list's display order: the old ids into the record (as the
    // record always took them), the whole order into LiveSettings when it
    // holds a new column (else none is stored there).
    void PutDisplayOrder(const std::vector<uint32_t>& displayed);

    // The sort the list uses: a new column of LiveSettings, else the record's.
    SortState Sort() const;
    void PutSort(const SortState& sort);

private:
    UserSettings& settings;
    LiveSettings& live;
};
