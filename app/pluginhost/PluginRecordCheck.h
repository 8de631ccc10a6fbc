#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the loader decided about one plug-in file.
enum class PluginVerdict {
    Accepted,
    NotLoaded,   // no library (not a DLL, DllMain refused, path too long)
    NoExport,    // no "GetPluginInfo"
    NullRecord,  // "GetPluginInfo" returned null
    Fault,       // a fault in the call, or the record is unreadable or read-only
    BadVersion,
    BadSize,
    Duplicate,   // another accepted plug-in has this name (case ignored)
    UnknownKind, // neither processes (1) nor files (2)
};

// The fields of a plug-in record the loader judges, copied out of the record.
struct PluginRecordFields {
    uint32_t dwVersion = 0;
    uint32_t dwSize = 0;
    uint64_t pszName = 0; // address as found in the record
    uint8_t nKind = 0;
    std::string strName;  // the name as read (empty: none)
};

// Judging plug-in records; no OS calls.
class PluginRecordCheck {
public:
    static constexpr size_t kRecordSize = 315;
    static constexpr size_t kMaxNameLength = 259;

    // The record of the 64-bit test build: pointers and handles take 8 bytes.
    static constexpr size_t kRecordSize64 = 355;

    // Reads the fields from a copy of a record's bytes (little-endian); false
    // when the bytes end before the kind. The name stays empty. Pointer size
    // 8 reads the 64-bit layout.
    static bool Decode(const void* bytes, size_t size, PluginRecordFields& fields, size_t pointerSize = 4);

    // Version and size first, then the name against the accepted ones, then the kind.
    static PluginVerdict Judge(const PluginRecordFields& fields, const std::vector<std::string>& acceptedNames,
                               size_t recordSize = kRecordSize);

    static bool IsKnownVersion(uint32_t version);
    static bool IsKnownKind(uint8_t kind) { return kind == 1 || kind == 2; }
    // Equal ignoring letter case (ASCII and the Latin-1 letters of code page 1252).
    static bool SameName(const std::string& a, const std::string& b);
    // The word the console tool prints.
    static const char* Name(PluginVerdict verdict);
};
