#include "sysinfo/FileFactsCache.h"

#include "image/MappedImageFile.h"
#include "sysinfo/FileVersionInfo.h"
#include "sysinfo/VersionStringTables.h"

#include <cstdio>

namespace {
const size_t kMaxEntries = 4096;

class Lock {
public:
    explicit Lock(CRITICAL_SECTION& section) : section(section) { EnterCriticalSection(&section); }
    ~Lock() { LeaveCriticalSection(&section); }

private:
    CRITICAL_SECTION& section;
};

std::string Lower(std::string text)
{
    if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}
} // namespace

bool FileFactsCache::Key::operator<(const Key& other) const
{
    if (path != other.path) return path < other.path;
    if (writeTime != other.writeTime) return writeTime < other.writeTime;
    return size < other.size;
}

FileFactsCache::FileFactsCache() : hits(0)
{
    InitializeCriticalSection(&lock);
}

FileFactsCache::~FileFactsCache()
{
    DeleteCriticalSection(&lock);
}

FileFactsCache& FileFactsCache::Shared()
{
    static FileFactsCache cache;
    return cache;
}

bool FileFactsCache::MakeKey(const std::string& path, const FileStamp* stamp, Key& key)
{
    if (stamp) {
        key.path = Lower(path);
        key.writeTime = stamp->writeTime;
        key.size = stamp->size;
        return true;
    }
    // A name with "?" or "*" is no file name: as a pattern it would find another file.
    if (path.find_first_of("?*") != std::string::npos) return false;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    key.path = Lower(path);
    key.writeTime = (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    key.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

VersionTexts FileFactsCache::ReadVersionTexts(const std::string& path, bool ntFamily,
                                              const std::string& notAvailable)
{
    VersionTexts texts{notAvailable, notAvailable, notAvailable};
    uint32_t fixed[13] = {};
    std::string version, description, company;
    if (ntFamily) {
        VersionStringTables tables;
        const uint32_t count = tables.Parse(path.c_str());
        if (count == 0 && tables.dwFixed[0] != 0xFEEF04BDu) return texts;
        version = tables.Find("FileVersion");
        description = tables.Find("FileDescription");
        company = tables.Find("CompanyName");
        for (int i = 0; i < 13; ++i) fixed[i] = tables.dwFixed[i];
    } else {
        FileVersionInfo info;
        if (!info.Load(path.c_str())) return texts;
        version = info.QueryString("FileVersion");
        description = info.QueryString("FileDescription");
        company = info.QueryString("CompanyName");
        // An empty value or one of 260 characters or more counts as absent.
        for (std::string* text : {&version, &description, &company})
            if (text->size() >= 260) text->clear();
        for (int i = 0; i < 13; ++i) fixed[i] = info.dwFixed[i];
    }
    if (!version.empty()) {
        texts.strVersion = version;
    } else if (fixed[2] || fixed[3]) {
        char text[64];
        snprintf(text, sizeof(text), "%d.%d.%d.%d", static_cast<int>(fixed[2] >> 16),
                 static_cast<int>(fixed[2] & 0xFFFF), static_cast<int>(fixed[3] >> 16),
                 static_cast<int>(fixed[3] & 0xFFFF));
        texts.strVersion = text;
    }
    if (!description.empty()) texts.strDescription = description;
    if (!company.empty()) texts.strCompany = company;
    for (std::string* text : {&texts.strVersion, &texts.strDescription, &texts.strCompany})
        if (text->size() > 259) text->resize(259);
    return texts;
}

uint32_t FileFactsCache::ReadPreferredBase(const std::string& path)
{
    MappedImageFile file;
    file.open(path.c_str());
    uint32_t base = 0;
    if (!file.IsPE() || !file.View().ImageBase(base)) base = 0;
    return base;
}

VersionTexts FileFactsCache::GetVersionTexts(const std::string& path, bool ntFamily,
                                             const std::string& notAvailable, const FileStamp* stamp)
{
    Key key;
    if (!MakeKey(path, stamp, key)) return ReadVersionTexts(path, ntFamily, notAvailable);
    const int family = ntFamily ? 1 : 0;
    {
        Lock guard(lock);
        auto found = entries.find(key);
        if (found != entries.end() && found->second.bHaveVersion[family]
            && found->second.notAvailable[family] == notAvailable) {
            ++hits;
            return found->second.version[family];
        }
    }
    VersionTexts texts = ReadVersionTexts(path, ntFamily, notAvailable);
    Lock guard(lock);
    if (entries.size() >= kMaxEntries) entries.clear();
    Facts& facts = entries[key];
    facts.bHaveVersion[family] = true;
    facts.version[family] = texts;
    facts.notAvailable[family] = notAvailable;
    return texts;
}

uint32_t FileFactsCache::GetPreferredBase(const std::string& path, const FileStamp* stamp)
{
    Key key;
    if (!MakeKey(path, stamp, key)) return ReadPreferredBase(path);
    {
        Lock guard(lock);
        auto found = entries.find(key);
        if (found != entries.end() && found->second.bHaveBase) {
            ++hits;
            return found->second.dwBase;
        }
    }
    const uint32_t base = ReadPreferredBase(path);
    Lock guard(lock);
    if (entries.size() >= kMaxEntries) entries.clear();
    Facts& facts = entries[key];
    facts.bHaveBase = true;
    facts.dwBase = base;
    return base;
}

void FileFactsCache::Clear()
{
    Lock guard(lock);
    entries.clear();
    hits = 0;
}

size_t FileFactsCache::Size() const
{
    Lock guard(lock);
    return entries.size();
}
