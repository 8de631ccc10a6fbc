#include "cli/RecordOrder.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(const std::string& text)
{
    std::string lower;
    for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool IsMissing(const Record& record, size_t field)
{
    return field >= record.values.size() || record.values[field].GetKind() == RecordValue::Missing;
}

// Tenths and whole numbers compare as tenths.
uint64_t Scaled(const RecordValue& value)
{
    return value.GetKind() == RecordValue::Tenths ? value.Number() : value.Number() * 10;
}

} // namespace

int RecordOrder::FieldIndex(const RecordSchema& schema, const std::string& name)
{
    const std::string wanted = Lower(name);
    for (size_t i = 0; i < schema.fields.size(); ++i)
        if (Lower(schema.fields[i].name) == wanted) return static_cast<int>(i);
    return -1;
}

int RecordOrder::Compare(const RecordValue& a, const RecordValue& b)
{
    if (a.GetKind() == RecordValue::Text && b.GetKind() == RecordValue::Text) {
        if (a.Number() && b.Number()) return a.Number() < b.Number() ? -1 : (a.Number() > b.Number() ? 1 : 0);
        const std::string x = Lower(a.TextValue()), y = Lower(b.TextValue());
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.GetKind() == RecordValue::Tenths || b.GetKind() == RecordValue::Tenths) {
        const uint64_t x = Scaled(a), y = Scaled(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return a.Number() < b.Number() ? -1 : (a.Number() > b.Number() ? 1 : 0);
}

std::vector<size_t> RecordOrder::Sort(const std::vector<Record>& records, size_t field, bool descending)
{
    std::vector<size_t> order(records.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        const bool mx = IsMissing(records[x], field), my = IsMissing(records[y], field);
        if (mx || my) return !mx && my;
        const int c = Compare(records[x].values[field], records[y].values[field]);
        return descending ? c > 0 : c < 0;
    });
    return order;
}
