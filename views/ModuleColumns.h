#pragma once

#include "views/ColumnTable.h"
#include "views/ModuleItem.h"

// The module view's columns (ids 0 to 8, index into aModuleColumns) and the
// five orders of its first column.
class ModuleColumns {
public:
    enum Id : uint32_t { Name = 0, Location, BaseAddress, Version, Description, Company, Size, Created, Modified };
    enum Mode : uint32_t { ByName = 0, ByExtension, ByLoadOrder, ByRelocation, ByDynamicLoad };
    static const uint32_t kModeCount = 5;

    static const ColumnTable<ModuleItem>& Table();
    // The first column compares by `mode`, the others by their key.
    static int Compare(const ModuleItem& a, const ModuleItem& b, uint32_t column, uint32_t mode);
    // The extension of a file name with its dot (".DLL"), as _splitpath gives it; "" without one.
    static std::string Extension(const std::string& name);

    // Sort-mode commands (40074 to 40078) and modes.
    static bool ModeFromCommand(unsigned command, uint32_t& mode);
    // The mode's position in the "Sort by" menu (Name, Extension, Load Order, Relocated, Dynamic).
    static int MenuPosition(uint32_t mode);
    // Console names: name, ext, order, relocated, dynamic.
    static bool ModeFromName(const std::string& name, uint32_t& mode);
};
