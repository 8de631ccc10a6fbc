#include "sysinfo/VersionStringTables.h"

#include "sysinfo/AnsiText.h"
#include "sysinfo/VersionResourceWalker.h"

#include <windows.h>
#include <cstring>

namespace {
std::string ToAnsi(const std::u16string& text)
{
    return AnsiText::FromUtf16(text);
}

std::string JoinLines(std::string text)
{
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        text.replace(at, 2, ", ");
    return text;
}
} // namespace

uint32_t VersionStringTables::Parse(const char* path)
{
    std::memset(dwFixed, 0, sizeof(dwFixed));
    if (!path) return 0;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return 0;
    std::vector<uint8_t> block(size, 0);
    if (!GetFileVersionInfoA(path, 0, size, block.data())) return 0;
    return ParseBlock(block.data(), block.size());
}

uint32_t VersionStringTables::ParseBlock(const uint8_t* block, size_t size)
{
    tables.clear();
    VersionResourceWalker walker;
    walker.Walk(block, size);
    std::memcpy(dwFixed, walker.dwFixed, sizeof(dwFixed));
    for (const VersionResourceWalker::Table& source : walker.tables) {
        Table table;
        table.strName = ToAnsi(source.name);
        CharUpperBuffA(&table.strName[0], static_cast<DWORD>(table.strName.size()));
        for (const VersionResourceWalker::Entry& entry : source.entries)
            table.entries.emplace_back(ToAnsi(entry.key), JoinLines(ToAnsi(entry.value)));
        tables.push_back(table);
    }
    return static_cast<uint32_t>(tables.size());
}

bool VersionStringTables::Find(const char* key, char* buffer, size_t bufferSize) const
{
    if (!key || tables.empty()) return false;
    for (const Table& table : tables)
        for (const auto& entry : table.entries) {
            if (lstrcmpiA(entry.first.c_str(), key) != 0) continue;
            if (buffer && !entry.second.empty() && entry.second.size() < bufferSize) {
                std::memcpy(buffer, entry.second.c_str(), entry.second.size() + 1);
                return true;
            }
        }
    return false;
}

std::string VersionStringTables::Find(const char* key) const
{
    char buffer[260];
    return Find(key, buffer, sizeof(buffer)) ? std::string(buffer) : std::string();
}
