#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a command prints as records (--format tsv, csv and json): its fields
// in order, and the lists nested in each record. The same schema holds on
// every OS family; a value that cannot be had is missing, never a word.
enum class FieldType { Text, Integer, Boolean, Time, Number };  // Number: with one decimal

struct RecordField {
    const char* name;
    FieldType type;
    const char* meaning;
};

struct RecordList {
    const char* name;  // the json key, and the csv/tsv "section"
    const char* meaning;
    std::vector<RecordField> fields;
};

struct RecordSchema {
    const char* meaning;  // what one record is
    std::vector<RecordField> fields;
    std::vector<RecordList> lists;
};

// One value: missing, text (UTF-8 by the time it is written; times are
// ISO 8601 text), a whole number, true/false, or a number with one decimal
// (kept in tenths).
class RecordValue {
public:
    enum Kind { Missing, Text, Integer, Boolean, Tenths };

    RecordValue() {}
    static RecordValue Of(const std::string& text) { return RecordValue(Text, text, 0); }
    static RecordValue Of(uint64_t number) { return RecordValue(Integer, std::string(), number); }
    static RecordValue Flag(bool value) { return RecordValue(Boolean, std::string(), value ? 1 : 0); }
    static RecordValue OfTenths(uint64_t tenths) { return RecordValue(Tenths, std::string(), tenths); }
    // A text that sorts by `key` rather than by its characters (a time by its file time).
    static RecordValue Keyed(const std::string& text, uint64_t key) { return RecordValue(Text, text, key); }

    Kind GetKind() const { return kind; }
    const std::string& TextValue() const { return text; }
    // The number; for a text its sort key (0: none).
    uint64_t Number() const { return number; }
    // Tenths as "12.5".
    std::string DecimalText() const { return std::to_string(number / 10) + "." + std::to_string(number % 10); }

private:
    RecordValue(Kind kind, const std::string& text, uint64_t number) : kind(kind), text(text), number(number) {}
    Kind kind = Missing;
    std::string text;
    uint64_t number = 0;
};

// One record: a value per schema field, a list of records per schema list.
// Values are added in schema order.
struct Record {
    std::vector<RecordValue> values;
    std::vector<std::vector<Record>> lists;

    Record& Text(const std::string& text)
    {
        values.push_back(RecordValue::Of(text));
        return *this;
    }
    Record& Number(uint64_t number)
    {
        values.push_back(RecordValue::Of(number));
        return *this;
    }
    Record& Flag(bool value)
    {
        values.push_back(RecordValue::Flag(value));
        return *this;
    }
    Record& Missing()
    {
        values.push_back(RecordValue());
        return *this;
    }
    Record& Value(const RecordValue& value)
    {
        values.push_back(value);
        return *this;
    }
    // `list`: the schema list's position. Growing `lists` moves the lists
    // before it: take references only after the last list is there.
    std::vector<Record>& List(size_t list)
    {
        if (lists.size() <= list) lists.resize(list + 1);
        return lists[list];
    }
};
