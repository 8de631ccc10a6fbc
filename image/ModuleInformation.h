#pragma once

#include "image/ClModuleIX.h"
#include "image/ResourceTypeList.h"
#include "sysinfo/VersionStringTables.h"

#include <cstdint>
#include <string>
#include <vector>

// What the module information window shows of one module file: the nodes of
// its tree and, per node, the table of its list. The console tool prints the
// same tables.
class ModuleInformation {
public:
    enum NodeType : uint16_t {
        ModuleNode = 0,
        VersionNode = 1,
        ResourcesNode = 2,
        ImportsNode = 3,
        ImportedModuleNode = 4,
        ExportsNode = 5,
    };

    // Item value: node type in the low word; for an imported DLL its index in
    // the import list in the high word.
    struct Node {
        uint32_t dwValue;
        std::string strText;
        int nParent;  // index in the node list, -1 for the root
    };

    struct Row {
        std::vector<std::string> cells;
        uint32_t dwKey;  // the number behind the numeric column
    };

    struct Table {
        std::vector<std::string> columns;
        std::vector<Row> rows;
    };

    // The list's sort order, kept for the window's life: a click on the sorted
    // column turns the direction, a click on another column sorts ascending.
    struct SortOrder {
        int nColumn = 0;
        bool bAscending = true;
        void Click(int column);
    };

    explicit ModuleInformation(bool nineXFamily);

    // Reads the module's resource types and import and export tables.
    void Load(const std::string& path);

    const std::string& Path() const { return strPath; }
    // The file-name part of the path, capitalised.
    const std::string& DisplayName() const { return strDisplayName; }
    // Tree order: module, Version, Resources, Imports with one child per DLL, Exports.
    std::vector<Node> Nodes() const;
    void Fill(uint32_t nodeValue, Table& table);

    static uint16_t NodeTypeOf(uint32_t value) { return static_cast<uint16_t>(value & 0xFFFF); }
    // A name that starts with a letter: lower case with the first letter upper case.
    static std::string Capitalise(const std::string& name);
    // ".exe" anywhere in the name, in any case.
    static bool NamesExecutable(const std::string& name);
    // The string table to list: the one whose name starts with the language as
    // "%04X", else the first.
    static size_t ChooseTranslation(const std::vector<VersionStringTables::Table>& tables, uint16_t languageId);
    // Sort comparison of two rows of a node type's table by `column`: -1, 0, 1.
    static int Compare(uint16_t nodeType, int column, const Row& a, const Row& b);

private:
    void FillModule(Table& table);
    void FillVersion(Table& table);
    void FillResources(Table& table);
    void FillImports(Table& table);
    void FillImportedModule(size_t index, Table& table);
    void FillExports(Table& table);

    bool bNineX;
    std::string strPath;
    std::string strDisplayName;
    ResourceTypeList resources;
    ClModuleIX tables;
};
