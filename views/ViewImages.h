#pragma once

#include "views/FileIconSource.h"

#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <map>
#include <string>

// The image lists of the views: the 16 x 16 view pictures (eight stock
// pictures, then the icons of the files of processes and modules) and the two
// sort arrows of the list header. Each file's icon is added once and keeps its
// index, so that a refresh neither grows the list nor adds icons again.
class ViewImages : public FileIconSource {
public:
    enum Stock { kComputer = 0, kKill, kProcesses, kServices, kProcess, kModule, kRelocated, kService, kStockCount };

    ViewImages();
    ~ViewImages() override;
    ViewImages(const ViewImages&) = delete;
    ViewImages& operator=(const ViewImages&) = delete;

    bool Create(HINSTANCE instance);
    HIMAGELIST Views() const { return hViews; }
    HIMAGELIST Arrows() const { return hArrows; }
    int Count() const;
    // The index of the file's small icon among the view pictures (-1: none),
    // added on first use; kept per path, write time and size.
    int AddFileIcon(const std::string& path) override;

private:
    struct IconKey {
        std::string path;
        uint64_t writeTime;
        uint64_t size;
        bool operator<(const IconKey& other) const;
    };

    HIMAGELIST hViews;
    HIMAGELIST hArrows;
    std::map<IconKey, int> icons;
};
