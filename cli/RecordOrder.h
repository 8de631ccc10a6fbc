#pragma once

#include "cli/RecordSchema.h"

#include <cstddef>
#include <string>
#include <vector>

// Records in the order of one of their fields (--sort FIELD [--desc]).
class RecordOrder {
public:
    // The position of the field named `name` (any case); -1 when the schema has none.
    static int FieldIndex(const RecordSchema& schema, const std::string& name);
    // <0, 0, >0: numbers by value, texts by their sort key when both have
    // one (times), else by their characters without regard to case, false
    // before true.
    static int Compare(const RecordValue& a, const RecordValue& b);
    // The positions of `records` in order of field `field`; missing values
    // last in either direction, equal ones in the order they came.
    static std::vector<size_t> Sort(const std::vector<Record>& records, size_t field, bool descending);
};
