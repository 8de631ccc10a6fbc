#pragma once

#include "../sysinfo/IMAGEHELPWrapper.h"
#include "PeImageView.h"

#include <string>
#include <vector>

// Import and export tables of one module file, for display. Names are
// undecorated when the image-help library offers its undecorator.
class ClModuleIX : public IMAGEHELPWrapper {
public:
    ClModuleIX();

    void Load(const char* path);

    const std::vector<ImportedModule>& Imports() const { return imports; }
    const std::vector<ExportedFunction>& Exports() const { return exports; }

private:
    std::vector<ImportedModule> imports;
    std::vector<ExportedFunction> exports;
};
