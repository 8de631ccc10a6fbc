#pragma once

#include "sysinfo/FileVersionInfo.h"
#include "sysinfo/KERNEL32Wrapper.h"

#include <string>

// Shell-level facts of a file as display texts: type, the program that opens
// it, folder, sizes, dates and attributes.
class ModuleBasicInformation {
public:
    enum Flags { TypeName = 1, OpenWith = 2, SizeOnDisk = 4 };

    bool Load(const char* path, unsigned flags);

    const std::string& GetTypeName() const { return strTypeName; }
    const std::string& GetOpenWith() const { return strOpenWith; }
    const std::string& GetLocation() const { return strLocation; }
    const std::string& GetSizeKb() const { return strSizeKb; }
    const std::string& GetSizeBytes() const { return strSizeBytes; }
    const std::string& GetSizeOnDiskKb() const { return strSizeOnDiskKb; }
    const std::string& GetSizeOnDiskBytes() const { return strSizeOnDiskBytes; }
    const std::string& GetCreated() const { return strCreated; }
    const std::string& GetModified() const { return strModified; }
    const std::string& GetAccessed() const { return strAccessed; }
    const std::string& GetAttributes() const { return strAttributes; }

    // A number with "." grouping the thousands, then `unit`.
    static std::string GroupedNumber(unsigned value, const char* unit);

private:
    std::string LongForm(const std::string& path);

    std::string strTypeName, strOpenWith, strLocation, strSizeKb, strSizeBytes, strSizeOnDiskKb,
        strSizeOnDiskBytes, strCreated, strModified, strAccessed, strAttributes;
    FileVersionInfo versionInfo;
    KERNEL32Wrapper kernel32;
};
