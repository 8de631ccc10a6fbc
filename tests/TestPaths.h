#pragma once

#include <string>

// Folders the tests work in.
class TestPaths {
public:
    // Folder of the running test program (the build's bin folder), with a trailing "\".
    static std::string BinFolder();
    // A fresh, empty scratch folder under the system's temporary folder.
    static std::string MakeScratchFolder(const char* tag);
    static void RemoveTree(const std::string& folder);
    static bool WriteFile(const std::string& path, const void* data, size_t size);
};
