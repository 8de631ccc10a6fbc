#include "sysinfo/FileVersionInfo.h"

#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const uint32_t kFixedSignature = 0xFEEF04BDu;

// Bytes of the version block from `value` to its end; 0 when the pointer
// lies outside (lengths in a version resource come from the file).
size_t BytesAfter(const std::vector<uint8_t>& block, const void* value)
{
    const uint8_t* p = static_cast<const uint8_t*>(value);
    if (!p || p < block.data() || p >= block.data() + block.size()) return 0;
    return static_cast<size_t>(block.data() + block.size() - p);
}
} // namespace

FileVersionInfo::FileVersionInfo() : dwFixed{}, wLanguage(0x0400), wCodePage(0x04E4) {}

bool FileVersionInfo::Load(const char* path)
{
    wLanguage = 0x0400;
    wCodePage = 0x04E4;
    std::memset(dwFixed, 0, sizeof(dwFixed));
    if (!path) return false;

    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return false;
    data.assign(size, 0);
    if (!GetFileVersionInfoA(path, 0, size, data.data())) {
        data.clear();
        return false;
    }

    void* fixed = nullptr;
    UINT fixedLength = 0;
    if (!VerQueryValueA(data.data(), "\\", &fixed, &fixedLength) || !fixed) return false;
    size_t fixedBytes = fixedLength < sizeof(dwFixed) ? fixedLength : sizeof(dwFixed);
    if (fixedBytes > BytesAfter(data, fixed)) fixedBytes = BytesAfter(data, fixed);
    std::memcpy(dwFixed, fixed, fixedBytes);

    void* translation = nullptr;
    UINT translationLength = 0;
    if (VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &translation, &translationLength) && translation
        && translationLength >= 4 && BytesAfter(data, translation) >= 4) {
        uint16_t pair[2];
        std::memcpy(pair, translation, 4);
        if (pair[0] && pair[1]) {
            wLanguage = pair[0];
            wCodePage = pair[1];
            return dwFixed[0] == kFixedSignature;
        }
    }

    // No usable translation: take it from the key of the first string table.
    void* tables = nullptr;
    UINT tablesLength = 0;
    if (VerQueryValueA(data.data(), "\\StringFileInfo\\", &tables, &tablesLength) && tables) {
        // The value points at the first table record: length, value length, type, key.
        const uint8_t* record = static_cast<const uint8_t*>(tables);
        const uint8_t* end = data.data() + data.size();
        if (BytesAfter(data, record) > 6) {
            const wchar_t* key = reinterpret_cast<const wchar_t*>(record + 6);
            size_t maxChars = static_cast<size_t>(end - (record + 6)) / 2;
            size_t count = 0;
            while (count < maxChars && count < 16 && key[count]) ++count;
            char ansi[17] = {};
            WideCharToMultiByte(CP_ACP, 0, key, static_cast<int>(count), ansi, 16, nullptr, nullptr);
            char* parsedEnd = ansi;
            const unsigned long value = std::strtoul(ansi, &parsedEnd, 16);
            if (parsedEnd != ansi) {
                wLanguage = static_cast<uint16_t>(value >> 16);
                wCodePage = static_cast<uint16_t>(value & 0xFFFF);
            }
        }
    }
    return dwFixed[0] == kFixedSignature;
}

std::string FileVersionInfo::QueryString(const char* key) const
{
    if (data.empty() || !key) return std::string();
    char query[300];
    snprintf(query, sizeof(query), "\\StringFileInfo\\%04x%04x\\%s", wLanguage, wCodePage, key);
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(const_cast<uint8_t*>(data.data()), query, &value, &length) || !value || length == 0)
        return std::string();
    const char* text = static_cast<const char*>(value);
    const size_t max = length < BytesAfter(data, value) ? length : BytesAfter(data, value);
    size_t n = 0;
    while (n < max && text[n]) ++n;
    return std::string(text, n);
}

std::string FileVersionInfo::LoadAndQuery(const char* path, const char* key)
{
    return Load(path) ? QueryString(key) : std::string();
}
