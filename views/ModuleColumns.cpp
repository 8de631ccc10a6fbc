#include "views/ModuleColumns.h"
#include "views/ViewSort.h"

namespace {

typedef ColumnTable<ModuleItem> Table;

template <std::string ModuleItem::*Field>
int ByText(const ModuleItem& a, const ModuleItem& b)
{
    return ViewSort::CompareText(a.*Field, b.*Field);
}

template <uint32_t ModuleItem::*Field>
int ByNumber(const ModuleItem& a, const ModuleItem& b)
{
    return ViewSort::CompareUnsigned(a.*Field, b.*Field);
}

template <FILETIME ModuleItem::*Field>
int ByTime(const ModuleItem& a, const ModuleItem& b)
{
    const uint64_t x = (uint64_t((a.*Field).dwHighDateTime) << 32) | (a.*Field).dwLowDateTime;
    const uint64_t y = (uint64_t((b.*Field).dwHighDateTime) << 32) | (b.*Field).dwLowDateTime;
    return x < y ? -1 : (x > y ? 1 : 0);
}

int ByName(const ModuleItem& a, const ModuleItem& b)
{
    return ViewSort::CompareText(a.strName, b.strName);
}

const unsigned kAll = Table::kNtFamily | Table::k9xFamily;

struct ModeCommand {
    unsigned command;
    uint32_t mode;
    const char* name;
};
const ModeCommand kModes[] = {
    {40074, ModuleColumns::ByName, "name"},
    {40075, ModuleColumns::ByExtension, "ext"},
    {40078, ModuleColumns::ByLoadOrder, "order"},
    {40076, ModuleColumns::ByRelocation, "relocated"},
    {40077, ModuleColumns::ByDynamicLoad, "dynamic"},
};

} // namespace

const ColumnTable<ModuleItem>& ModuleColumns::Table()
{
    static const ::Table table(
        {
            {Name, 11, ColumnAlign::Left, &ModuleItem::strName, ::ByName, kAll},
            {Location, 12, ColumnAlign::Left, &ModuleItem::strLocation, ByText<&ModuleItem::strLocation>, kAll},
            {BaseAddress, 13, ColumnAlign::Right, &ModuleItem::strBaseAddress,
             ByNumber<&ModuleItem::dwBaseAddress>, kAll},
            {Version, 14, ColumnAlign::Left, &ModuleItem::strVersion, ByText<&ModuleItem::strVersion>, kAll},
            {Description, 167, ColumnAlign::Left, &ModuleItem::strDescription, ByText<&ModuleItem::strDescription>,
             kAll},
            {Company, 168, ColumnAlign::Left, &ModuleItem::strCompany, ByText<&ModuleItem::strCompany>, kAll},
            {Size, 15, ColumnAlign::Right, &ModuleItem::strSize, ByNumber<&ModuleItem::dwSize>, kAll},
            {Created, 10, ColumnAlign::Left, &ModuleItem::strCreated, ByTime<&ModuleItem::ftCreated>, kAll},
            {Modified, 16, ColumnAlign::Left, &ModuleItem::strModified, ByTime<&ModuleItem::ftModified>, kAll},
        },
        {Location, BaseAddress, Version, Description, Company, Size, Created, Modified},
        {Location, BaseAddress, Version, Description, Company, Size, Created, Modified});
    return table;
}

std::string ModuleColumns::Extension(const std::string& name)
{
    const size_t separator = name.find_last_of("\\/:");
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return std::string();
    return name.substr(dot);
}

int ModuleColumns::Compare(const ModuleItem& a, const ModuleItem& b, uint32_t column, uint32_t mode)
{
    if (column != Name) return Table().Compare(a, b, column);
    switch (mode) {
    case ByExtension:
        return ViewSort::CompareText(Extension(a.strName), Extension(b.strName));
    case ByLoadOrder:
        return ViewSort::CompareSigned(static_cast<int32_t>(a.dwLoadOrder), static_cast<int32_t>(b.dwLoadOrder));
    case ByRelocation:
        if (a.bRelocated != b.bRelocated) return a.bRelocated ? 1 : -1;
        return ::ByName(a, b);
    case ByDynamicLoad:
        if (a.bDynamic != b.bDynamic) return a.bDynamic ? 1 : -1;
        return ::ByName(a, b);
    default:
        return ::ByName(a, b);
    }
}

bool ModuleColumns::ModeFromCommand(unsigned command, uint32_t& mode)
{
    for (const ModeCommand& entry : kModes)
        if (entry.command == command) {
            mode = entry.mode;
            return true;
        }
    return false;
}

int ModuleColumns::MenuPosition(uint32_t mode)
{
    for (int i = 0; i < static_cast<int>(sizeof(kModes) / sizeof(kModes[0])); ++i)
        if (kModes[i].mode == mode) return i;
    return 0;
}

bool ModuleColumns::ModeFromName(const std::string& name, uint32_t& mode)
{
    for (const ModeCommand& entry : kModes)
        if (name == entry.name) {
            mode = entry.mode;
            return true;
        }
    return false;
}
