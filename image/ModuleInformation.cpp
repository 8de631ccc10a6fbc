#include "image/ModuleInformation.h"

#include "app/menus/StringTable.h"
#include "sysinfo/FileVersionInfo.h"
#include "sysinfo/ModuleBasicInformation.h"
#include "sysutils/TextHelpers.h"

#include <windows.h>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

std::string Text(UINT id)
{
    return StringTable::Load(id);
}

std::string Decimal(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%d", static_cast<int>(value));
    return text;
}

int CompareNoCase(const std::string& a, const std::string& b)
{
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        int x = std::tolower(static_cast<unsigned char>(a[i]));
        int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

const char* const kVersionKeys[] = {"Comments",        "CompanyName",      "FileDescription", "FileVersion",
                                    "InternalName",    "LegalCopyright",   "LegalTrademarks", "OriginalFilename",
                                    "PrivateBuild",    "ProductName",      "ProductVersion",  "SpecialBuild"};

} // namespace

void ModuleInformation::SortOrder::Click(int column)
{
    bAscending = column == nColumn ? !bAscending : true;
    nColumn = column;
}

ModuleInformation::ModuleInformation(bool nineXFamily) : bNineX(nineXFamily) {}

void ModuleInformation::Load(const std::string& path)
{
    strPath = path;
    strDisplayName = Capitalise(TextHelpers::GetFileNamePart(path.c_str()));
    resources.load(path.c_str());
    tables.Load(path.c_str());
}

std::vector<ModuleInformation::Node> ModuleInformation::Nodes() const
{
    std::vector<Node> nodes;
    nodes.push_back({ModuleNode, strDisplayName, -1});
    nodes.push_back({VersionNode, Text(14), 0});
    nodes.push_back({ResourcesNode, Text(28), 0});
    nodes.push_back({ImportsNode, Text(25), 0});
    const int imports = static_cast<int>(nodes.size()) - 1;
    const std::vector<ImportedModule>& modules = tables.Imports();
    for (size_t i = 0; i < modules.size() && i <= 0xFFFF; ++i)
        nodes.push_back({(static_cast<uint32_t>(i) << 16) | ImportedModuleNode, Capitalise(modules[i].strName),
                         imports});
    nodes.push_back({ExportsNode, Text(26), 0});
    return nodes;
}

void ModuleInformation::Fill(uint32_t nodeValue, Table& table)
{
    table.columns.clear();
    table.rows.clear();
    switch (NodeTypeOf(nodeValue)) {
    case ModuleNode: FillModule(table); break;
    case VersionNode: FillVersion(table); break;
    case ResourcesNode: FillResources(table); break;
    case ImportsNode: FillImports(table); break;
    case ImportedModuleNode: FillImportedModule(nodeValue >> 16, table); break;
    case ExportsNode: FillExports(table); break;
    default: break;
    }
}

void ModuleInformation::FillModule(Table& table)
{
    ModuleBasicInformation facts;
    if (!facts.Load(strPath.c_str(), ModuleBasicInformation::TypeName | ModuleBasicInformation::OpenWith |
                                         ModuleBasicInformation::SizeOnDisk))
        return;
    table.columns = {Text(32), Text(22)};
    const std::string openWith = facts.GetOpenWith().empty() ? Text(39) : facts.GetOpenWith();
    const std::string accessed = facts.GetAccessed().empty() ? Text(40) : facts.GetAccessed();
    table.rows = {
        {{Text(33), facts.GetTypeName()}, 0},
        {{Text(NamesExecutable(strDisplayName) ? 34 : 35), openWith}, 0},
        {{Text(12), facts.GetLocation()}, 0},
        {{Text(15), facts.GetSizeKb() + " (" + facts.GetSizeBytes() + ")"}, 0},
        {{Text(38), facts.GetSizeOnDiskKb() + " (" + facts.GetSizeOnDiskBytes() + ")"}, 0},
        {{Text(10), facts.GetCreated()}, 0},
        {{Text(16), facts.GetModified()}, 0},
        {{Text(36), accessed}, 0},
        {{Text(37), facts.GetAttributes()}, 0},
    };
}

void ModuleInformation::FillVersion(Table& table)
{
    if (bNineX) {
        FileVersionInfo version;
        if (!version.Load(strPath.c_str())) return;
        table.columns = {Text(32), Text(22)};
        for (const char* key : kVersionKeys) {
            std::string value = version.QueryString(key);
            if (!value.empty()) table.rows.push_back({{key, value}, 0});
        }
        return;
    }
    VersionStringTables version;
    if (version.Parse(strPath.c_str()) == 0) return;
    table.columns = {Text(51), Text(22)};
    const VersionStringTables::Table& chosen =
        version.Tables()[ChooseTranslation(version.Tables(), GetUserDefaultLangID())];
    for (const auto& entry : chosen.entries)
        if (!entry.second.empty()) table.rows.push_back({{entry.first, entry.second}, 0});
}

void ModuleInformation::FillResources(Table& table)
{
    if (resources.Entries().empty()) return;
    table.columns = {Text(29), Text(30)};
    for (const ResourceTypeEntry& entry : resources.Entries())
        table.rows.push_back({{entry.strName, Decimal(entry.nCount)}, entry.nCount});
}

void ModuleInformation::FillImports(Table& table)
{
    table.columns = {Text(11), Text(31)};
    for (const ImportedModule& module : tables.Imports()) {
        uint32_t count = static_cast<uint32_t>(module.functions.size());
        table.rows.push_back({{module.strName, Decimal(count)}, count});
    }
}

void ModuleInformation::FillImportedModule(size_t index, Table& table)
{
    table.columns = {Text(24), Text(27)};
    if (index >= tables.Imports().size()) return;
    for (const ImportedFunction& function : tables.Imports()[index].functions)
        table.rows.push_back({{Decimal(function.dwValue), function.strName}, function.dwValue});
}

void ModuleInformation::FillExports(Table& table)
{
    table.columns = {Text(23), Text(27)};
    for (const ExportedFunction& function : tables.Exports())
        table.rows.push_back({{Decimal(function.dwOrdinal), function.strName}, function.dwOrdinal});
}

std::string ModuleInformation::Capitalise(const std::string& name)
{
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return name;
    std::string text = name;
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

bool ModuleInformation::NamesExecutable(const std::string& name)
{
    return TextHelpers::FindNoCase(name.c_str(), ".exe") != nullptr;
}

size_t ModuleInformation::ChooseTranslation(const std::vector<VersionStringTables::Table>& tables,
                                            uint16_t languageId)
{
    if (tables.size() < 2) return 0;
    char language[8];
    std::snprintf(language, sizeof(language), "%04X", languageId);
    for (size_t i = 0; i < tables.size(); ++i)
        if (tables[i].strName.compare(0, 4, language) == 0) return i;
    return 0;
}

int ModuleInformation::Compare(uint16_t nodeType, int column, const Row& a, const Row& b)
{
    auto name = [&](size_t cell) {
        const std::string empty;
        return CompareNoCase(cell < a.cells.size() ? a.cells[cell] : empty,
                             cell < b.cells.size() ? b.cells[cell] : empty);
    };
    switch (nodeType) {
    case ResourcesNode:
    case ImportsNode:
        return column == 0 ? name(0) : TextHelpers::CompareUnsigned(a.dwKey, b.dwKey);
    case ImportedModuleNode:
    case ExportsNode:
        return column == 0 ? TextHelpers::CompareUnsigned(a.dwKey, b.dwKey) : name(1);
    default:
        return 0;
    }
}
