#pragma once

#include "image/PeImageView.h"

#include <string>
#include <vector>

// Import and export tables of one module file, for display. Names are
// undecorated when the image-help library offers its undecorator (one
// binding shared by the whole process).
class ClModuleIX {
public:
    ClModuleIX();

    // Opens and maps the file for this one read.
    void Load(const char* path);
    // Reads from an image that is already mapped.
    void Load(const PeImageView& image);

    const std::vector<ImportedModule>& Imports() const { return imports; }
    const std::vector<ExportedFunction>& Exports() const { return exports; }

    // The last Load stopped on a fault or an exception ("ClModuleIX::Load
    // failed" went to the debugger output); the lists hold what was read.
    bool Failed() const { return failed; }
    // The file claims more entries than it can hold (see
    // PeImageView::TableEntryLimit): the lists were cut there.
    bool ImportsTruncated() const { return importsTruncated; }
    bool ExportsTruncated() const { return exportsTruncated; }

    bool CanUndecorate() const;

private:
    std::vector<ImportedModule> imports;
    std::vector<ExportedFunction> exports;
    bool failed;
    bool importsTruncated;
    bool exportsTruncated;
};
