#include "app/pluginhost/PluginRecordCheck.h"

namespace {

uint32_t ReadU32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16)
         | (static_cast<uint32_t>(p[3]) << 24);
}

unsigned char FoldCase(unsigned char c)
{
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
    // Latin-1 small letters à..þ except ÷
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    return c;
}

} // namespace

bool PluginRecordCheck::Decode(const void* bytes, size_t size, PluginRecordFields& fields, size_t pointerSize)
{
    fields = PluginRecordFields();
    const bool wide = pointerSize == 8;
    // Version, size, two text pointers, then the kind.
    const size_t kindOffset = wide ? 24 : 16;
    if (!bytes || size <= kindOffset) return false;
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    fields.dwVersion = ReadU32(p);
    fields.dwSize = ReadU32(p + 4);
    fields.pszName = ReadU32(p + 8);
    if (wide) fields.pszName |= uint64_t(ReadU32(p + 12)) << 32;
    fields.nKind = p[kindOffset];
    return true;
}

bool PluginRecordCheck::IsKnownVersion(uint32_t version)
{
    return version == 0x00010001u || version == 0x00010002u;
}

bool PluginRecordCheck::SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

PluginVerdict PluginRecordCheck::Judge(const PluginRecordFields& fields, const std::vector<std::string>& acceptedNames,
                                       size_t recordSize)
{
    if (!IsKnownVersion(fields.dwVersion)) return PluginVerdict::BadVersion;
    if (fields.dwSize != recordSize) return PluginVerdict::BadSize;
    // A record without a readable name is never compared (and never offered).
    if (!fields.strName.empty())
        for (const std::string& name : acceptedNames)
            if (SameName(name, fields.strName)) return PluginVerdict::Duplicate;
    if (!IsKnownKind(fields.nKind)) return PluginVerdict::UnknownKind;
    return PluginVerdict::Accepted;
}

const char* PluginRecordCheck::Name(PluginVerdict verdict)
{
    switch (verdict) {
    case PluginVerdict::Accepted: return "accepted";
    case PluginVerdict::NotLoaded: return "not-loaded";
    case PluginVerdict::NoExport: return "no-export";
    case PluginVerdict::NullRecord: return "null-record";
    case PluginVerdict::Fault: return "fault";
    case PluginVerdict::BadVersion: return "bad-version";
    case PluginVerdict::BadSize: return "bad-size";
    case PluginVerdict::Duplicate: return "duplicate";
    case PluginVerdict::UnknownKind: return "unknown-kind";
    }
    return "unknown";
}
