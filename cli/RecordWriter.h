#pragma once

#include "cli/RecordSchema.h"

#include <functional>
#include <string>
#include <vector>

// Writes a command's records in one of the console tool's formats:
// - tsv: a header row of field names, one tab-separated row per record,
//   "\n" line ends, texts escaped as TabText does;
// - csv: the same rows by RFC 4180 (quoted where needed, CRLF line ends);
// - json: an array of objects, one per line, nested lists as arrays;
// - table: the tsv layout in the console's code page, for commands that have
//   no table of their own.
// tsv, csv and json texts are UTF-8. Missing values are empty (tsv, csv) or
// null (json); numbers decimal; booleans true and false.
// A record with nested lists becomes one tsv/csv row per nested entry, with
// the record's fields repeated, a "section" column naming the list (when the
// schema has more than one) and the union of the lists' fields (a field that
// two lists share by name shares a column); a record whose lists are all
// empty gives one row with those columns empty.
class RecordWriter {
public:
    enum Format { Table, Tsv, Csv, Json };
    static bool FormatFromName(const std::string& name, Format& format);  // any case
    static const char* FormatName(Format format);

    // Texts of the records in the console's code page, turned into UTF-8.
    typedef std::function<std::string(const std::string&)> Encoder;
    typedef std::function<void(const std::string&)> Sink;

    // Without an encoder texts are taken as UTF-8 already.
    RecordWriter(Format format, const RecordSchema& schema, Sink sink, Encoder encoder = Encoder());

    void Begin();
    void Write(const Record& record);
    void End();

    // The column names of the tsv and csv rows.
    static std::vector<std::string> Columns(const RecordSchema& schema);

private:
    std::string Text(const std::string& text) const;
    std::string Cell(const RecordValue& value) const;
    std::string JsonValue(const RecordValue& value) const;
    void Row(const std::vector<std::string>& cells);
    void WriteFlat(const Record& record);
    void WriteJson(const Record& record);

    Format format;
    const RecordSchema& schema;
    Sink sink;
    Encoder encoder;
    std::vector<std::string> columns;
    // For each list, the column of each of its fields.
    std::vector<std::vector<size_t>> listColumns;
    size_t records = 0;
};
