#pragma once

#include "cli/RecordSchema.h"
#include "cli/RecordWriter.h"

#include <cstdint>
#include <string>

// Record values from the engine's types, and a writer to standard output.
class RecordValues {
public:
    // ANSI text (the system code page) as UTF-8.
    static std::string Utf8(const std::string& ansi);
    // A file time (UTC) as local ISO 8601 time with its offset; missing when
    // it is 0, has the top bit set (all ones: unknown) or does not convert.
    static RecordValue Time(uint64_t fileTime);
    // The text, or missing when it is empty or `unknown` (such as "...").
    static RecordValue Known(const std::string& text, const std::string& unknown = std::string());
    // A writer of `format` to standard output (texts converted from ANSI).
    static RecordWriter Stdout(RecordWriter::Format format, const RecordSchema& schema);
    static void Out(const std::string& bytes);
};
