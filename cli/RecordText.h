#pragma once

#include <string>

// Field texts of the machine-readable outputs. Input is UTF-8; a byte that
// does not belong to a well-formed sequence becomes U+FFFD, so that every
// output decodes cleanly.
class RecordText {
public:
    // RFC 4180: quoted when it holds a comma, a quote, CR or LF (or starts or
    // ends with a space), quotes doubled; otherwise as it is.
    static std::string CsvField(const std::string& utf8);
    // A JSON string with its quotes: ", \ and control characters escaped
    // (\n, \r, \t, \b, \f, else \u00XX), DEL, U+2028 and U+2029 as \uXXXX;
    // every other character as it is.
    static std::string JsonString(const std::string& utf8);
    // Well-formed UTF-8 (no surrogates, nothing above U+10FFFF, shortest
    // forms only): other bytes become U+FFFD.
    static std::string ValidUtf8(const std::string& text);
    // "2026-12-08T18:50:55+01:00": a local time and its offset from UTC in
    // minutes (east positive); "Z" is not used.
    static std::string IsoTime(int year, int month, int day, int hour, int minute, int second, int offsetMinutes);
};
