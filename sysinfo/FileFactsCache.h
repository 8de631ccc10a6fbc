#pragma once

#include <windows.h>
#include <cstdint>
#include <map>
#include <string>

// Version texts of a file, as the views show them.
struct VersionTexts {
    std::string strVersion;
    std::string strDescription;
    std::string strCompany;
};

// When a file was last written and how large it is.
struct FileStamp {
    uint64_t writeTime = 0;
    uint64_t size = 0;
};

// Facts of module files that stay the same while the file does not change,
// kept per path, file time and size so that a refresh does not read every
// file again. Safe to use from several threads.
class FileFactsCache {
public:
    FileFactsCache();
    ~FileFactsCache();
    FileFactsCache(const FileFactsCache&) = delete;
    FileFactsCache& operator=(const FileFactsCache&) = delete;

    // The cache the program shares.
    static FileFactsCache& Shared();

    // Version texts by the reader of the given family ("Not Available" words
    // come from `notAvailable`). A caller that already knows the file's stamp
    // passes it, saving a directory search.
    VersionTexts GetVersionTexts(const std::string& path, bool ntFamily, const std::string& notAvailable,
                                 const FileStamp* stamp = nullptr);
    // ImageBase of the PE file, 0 when it cannot be read.
    uint32_t GetPreferredBase(const std::string& path, const FileStamp* stamp = nullptr);

    void Clear();
    size_t Size() const;
    // How many lookups were answered without reading the file.
    unsigned Hits() const { return hits; }

    // Reading the facts without the cache.
    static VersionTexts ReadVersionTexts(const std::string& path, bool ntFamily, const std::string& notAvailable);
    static uint32_t ReadPreferredBase(const std::string& path);

private:
    struct Key {
        std::string path;
        uint64_t writeTime;
        uint64_t size;
        bool operator<(const Key& other) const;
    };
    struct Facts {
        bool bHaveVersion[2] = {false, false};
        VersionTexts version[2];
        std::string notAvailable[2];
        bool bHaveBase = false;
        uint32_t dwBase = 0;
    };
    // False when the file cannot be found (then nothing is cached).
    static bool MakeKey(const std::string& path, const FileStamp* stamp, Key& key);

    mutable CRITICAL_SECTION lock;
    std::map<Key, Facts> entries;
    unsigned hits;
};
