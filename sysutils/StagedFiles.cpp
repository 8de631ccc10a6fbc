#include "sysutils/StagedFiles.h"

#include <windows.h>

namespace {
bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
} // namespace

StagedFiles::~StagedFiles()
{
    Discard();
}

std::string StagedFiles::TemporaryBeside(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/:");
    std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    if (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/') && folder[folder.size() - 2] != ':')
        folder.pop_back();
    char name[MAX_PATH + 1] = {};
    if (folder.size() >= MAX_PATH - 14) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return std::string();
    }
    if (!GetTempFileNameA(folder.c_str(), "twr", 0, name)) return std::string();
    return name;
}

std::string StagedFiles::Stage(const std::string& target)
{
    Entry entry;
    entry.target = target;
    entry.temporary = TemporaryBeside(target);
    if (entry.temporary.empty()) {
        lastError = GetLastError();
        failedTarget = target;
        return std::string();
    }
    entries.push_back(entry);
    return entry.temporary;
}

void StagedFiles::Drop(const std::string& temporary)
{
    for (auto entry = entries.begin(); entry != entries.end(); ++entry)
        if (entry->temporary == temporary) {
            DeleteFileA(entry->temporary.c_str());
            entries.erase(entry);
            return;
        }
}

bool StagedFiles::Commit()
{
    if (entries.size() == 1) {
        const bool moved = MoveOver(entries[0].temporary, entries[0].target);
        if (moved) {
            entries.clear();
        } else {
            lastError = GetLastError();
            failedTarget = entries[0].target;
            Discard();
        }
        return moved;
    }
    for (Entry& entry : entries) {
        if (Exists(entry.target)) {
            entry.aside = TemporaryBeside(entry.target);
            if (entry.aside.empty() || !DeleteFileA(entry.aside.c_str())
                || !MoveFileA(entry.target.c_str(), entry.aside.c_str())) {
                lastError = GetLastError();
                failedTarget = entry.target;
                entry.aside.clear();
                RollBack();
                return false;
            }
        }
        if (!MoveFileA(entry.temporary.c_str(), entry.target.c_str())) {
            lastError = GetLastError();
            failedTarget = entry.target;
            RollBack();
            return false;
        }
        entry.moved = true;
    }
    for (const Entry& entry : entries)
        if (!entry.aside.empty()) DeleteFileA(entry.aside.c_str());
    entries.clear();
    return true;
}

void StagedFiles::RollBack()
{
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (entry->moved) DeleteFileA(entry->target.c_str());
        if (!entry->aside.empty()) MoveFileA(entry->aside.c_str(), entry->target.c_str());
    }
    Discard();
}

void StagedFiles::Discard()
{
    for (const Entry& entry : entries)
        if (!entry.moved) DeleteFileA(entry.temporary.c_str());
    entries.clear();
}

bool StagedFiles::MoveOver(const std::string& source, const std::string& target, bool replacingMove)
{
    // The NT family replaces in one step; the 9x family has no such move.
    if (replacingMove && MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    std::string aside;
    if (Exists(target)) {
        aside = TemporaryBeside(target);
        if (aside.empty()) return false;
        if (!DeleteFileA(aside.c_str()) || !MoveFileA(target.c_str(), aside.c_str())) {
            const DWORD error = GetLastError();
            DeleteFileA(aside.c_str());
            SetLastError(error);
            return false;
        }
    }
    if (!MoveFileA(source.c_str(), target.c_str())) {
        const DWORD error = GetLastError();
        if (!aside.empty()) MoveFileA(aside.c_str(), target.c_str());
        SetLastError(error);
        return false;
    }
    if (!aside.empty()) DeleteFileA(aside.c_str());
    return true;
}
