#include "cli/RecordWriter.h"

#include "cli/RecordText.h"
#include "cli/TabText.h"

#include <cctype>
#include <cstdio>

namespace {

const char* const kFormatNames[] = {"table", "tsv", "csv", "json"};

std::string Decimal(uint64_t value)
{
    char text[24];
    snprintf(text, sizeof(text), "%llu", static_cast<unsigned long long>(value));
    return text;
}

} // namespace

bool RecordWriter::FormatFromName(const std::string& name, Format& format)
{
    std::string lower;
    for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (int i = 0; i < 4; ++i)
        if (lower == kFormatNames[i]) {
            format = static_cast<Format>(i);
            return true;
        }
    return false;
}

const char* RecordWriter::FormatName(Format format)
{
    return kFormatNames[format & 3];
}

std::vector<std::string> RecordWriter::Columns(const RecordSchema& schema)
{
    std::vector<std::string> names;
    for (const RecordField& field : schema.fields) names.push_back(field.name);
    if (schema.lists.size() > 1) names.push_back("section");
    for (const RecordList& list : schema.lists)
        for (const RecordField& field : list.fields) {
            bool known = false;
            for (size_t i = schema.fields.size(); i < names.size(); ++i) known = known || names[i] == field.name;
            if (!known) names.push_back(field.name);
        }
    return names;
}

RecordWriter::RecordWriter(Format format, const RecordSchema& schema, Sink sink, Encoder encoder)
    : format(format), schema(schema), sink(std::move(sink)), encoder(std::move(encoder)), columns(Columns(schema))
{
    for (const RecordList& list : schema.lists) {
        std::vector<size_t> at;
        for (const RecordField& field : list.fields)
            for (size_t i = schema.fields.size(); i < columns.size(); ++i)
                if (columns[i] == field.name) {
                    at.push_back(i);
                    break;
                }
        listColumns.push_back(at);
    }
}

std::string RecordWriter::Text(const std::string& text) const
{
    if (format == Table) return text;
    return RecordText::ValidUtf8(encoder ? encoder(text) : text);
}

std::string RecordWriter::Cell(const RecordValue& value) const
{
    switch (value.GetKind()) {
    case RecordValue::Text:
        return format == Csv ? RecordText::CsvField(Text(value.TextValue())) : TabText::Escape(Text(value.TextValue()));
    case RecordValue::Integer: return Decimal(value.Number());
    case RecordValue::Boolean: return value.Number() ? "true" : "false";
    case RecordValue::Tenths: return value.DecimalText();
    default: return std::string();
    }
}

std::string RecordWriter::JsonValue(const RecordValue& value) const
{
    switch (value.GetKind()) {
    case RecordValue::Text: return RecordText::JsonString(Text(value.TextValue()));
    case RecordValue::Integer: return Decimal(value.Number());
    case RecordValue::Boolean: return value.Number() ? "true" : "false";
    case RecordValue::Tenths: return value.DecimalText();
    default: return "null";
    }
}

void RecordWriter::Row(const std::vector<std::string>& cells)
{
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i) line += format == Csv ? ',' : '\t';
        line += cells[i];
    }
    line += format == Csv ? "\r\n" : "\n";
    sink(line);
}

void RecordWriter::Begin()
{
    records = 0;
    if (format == Json) {
        sink("[");
        return;
    }
    std::vector<std::string> header;
    for (const std::string& name : columns) header.push_back(format == Csv ? RecordText::CsvField(name) : name);
    Row(header);
}

void RecordWriter::Write(const Record& record)
{
    if (format == Json)
        WriteJson(record);
    else
        WriteFlat(record);
    ++records;
}

void RecordWriter::WriteFlat(const Record& record)
{
    std::vector<std::string> cells(columns.size());
    for (size_t i = 0; i < schema.fields.size() && i < record.values.size(); ++i) cells[i] = Cell(record.values[i]);
    bool wrote = false;
    for (size_t list = 0; list < schema.lists.size() && list < record.lists.size(); ++list)
        for (const Record& entry : record.lists[list]) {
            std::vector<std::string> row = cells;
            if (schema.lists.size() > 1) row[schema.fields.size()] = Cell(RecordValue::Of(schema.lists[list].name));
            for (size_t i = 0; i < listColumns[list].size() && i < entry.values.size(); ++i)
                row[listColumns[list][i]] = Cell(entry.values[i]);
            Row(row);
            wrote = true;
        }
    if (!wrote) Row(cells);
}

void RecordWriter::WriteJson(const Record& record)
{
    auto object = [this](const std::vector<RecordField>& fields, const Record& values) {
        std::string text = "{";
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i) text += ',';
            text += RecordText::JsonString(fields[i].name);
            text += ':';
            text += i < values.values.size() ? JsonValue(values.values[i]) : "null";
        }
        return text;
    };
    std::string text = records ? ",\n" : "\n";
    text += object(schema.fields, record);
    for (size_t list = 0; list < schema.lists.size(); ++list) {
        if (text.back() != '{') text += ',';
        text += RecordText::JsonString(schema.lists[list].name);
        text += ":[";
        if (list < record.lists.size())
            for (size_t i = 0; i < record.lists[list].size(); ++i) {
                if (i) text += ',';
                text += object(schema.lists[list].fields, record.lists[list][i]) + "}";
            }
        text += ']';
    }
    text += '}';
    sink(text);
}

void RecordWriter::End()
{
    if (format == Json) sink(records ? "\n]\n" : "]\n");
}
