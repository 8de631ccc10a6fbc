#pragma once

#include <string>

// Puts the small icon of a file into the view image list; -1 when the file
// has none. The main window's view images keep the icons between refreshes.
class FileIconSource {
public:
    virtual ~FileIconSource() {}
    virtual int AddFileIcon(const std::string& path) = 0;
};
