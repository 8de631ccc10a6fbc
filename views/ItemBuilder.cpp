#include "views/ItemBuilder.h"

#include "views/FileIconSource.h"
#include "views/ProcessColumns.h"
#include "sysinfo/FileFactsCache.h"
#include "image/ImportClosure.h"
#include "sysinfo/LocalFiles.h"
#include "sysinfo/NativeProcessList.h"
#include "sysinfo/ServiceList.h"

#include <shellapi.h>
#include <cstdio>
#include <cstring>

namespace {
const int kImageProcess = 4;
const int kImageModule = 5;
const int kImageRelocated = 6;
const int kImageService = 7;

std::string LowerUnquoted(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '"') out += c;
    if (!out.empty()) CharLowerBuffA(&out[0], static_cast<DWORD>(out.size()));
    return out;
}

bool IsUnknown(const std::string& text)
{
    return lstrcmpiA(text.c_str(), "...") == 0;
}

std::string Decimal(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof(text), "%d", static_cast<int>(value));
    return text;
}

FILETIME ToFileTime(const FileTime& time)
{
    FILETIME out;
    out.dwLowDateTime = time.dwLowDateTime;
    out.dwHighDateTime = time.dwHighDateTime;
    return out;
}

} // namespace

ItemBuilder::ItemBuilder(const ValueFormatter& formatter, FileFactsCache& cache, HIMAGELIST imageList)
    : formatter(formatter), cache(cache), imageList(imageList), icons(nullptr)
{
}

ItemBuilder::ItemBuilder(const ValueFormatter& formatter, FileFactsCache& cache, FileIconSource& icons)
    : formatter(formatter), cache(cache), imageList(nullptr), icons(&icons)
{
}

bool ItemBuilder::IsServiceCommandLine(const std::string& commandLine, const ServiceList& services)
{
    const std::string line = LowerUnquoted(commandLine);
    for (const ServiceRecord& service : services.Services()) {
        if (service.strBinaryPath.empty()) continue;
        if (line.find(LowerUnquoted(service.strBinaryPath)) != std::string::npos) return true;
    }
    return false;
}

int ItemBuilder::AddFileIcon(const std::string& path)
{
    if (icons) return icons->AddFileIcon(path);
    if (!imageList) return -1;
    HICON small = nullptr;
    if (ExtractIconExA(path.c_str(), 0, nullptr, &small, 1) == 0 || !small) return -1;
    int index = ImageList_AddIcon(imageList, small);
    DestroyIcon(small);
    return index;
}

bool ItemBuilder::Skips(const std::string& path) const
{
    return bLocalFilesOnly && LocalFiles::IsNetworkPath(path);
}

void ItemBuilder::BuildProcessItem(ProcessItem& item, const ProcessRecord& record, const ServiceList& services,
                                   bool withIcon, const ProcessItem* previous)
{
    const std::string notAvailable = ValueFormatter::NotAvailable();
    const bool nt = formatter.IsNtFamily();
    item = ProcessItem();
    item.strName = record.strName;
    const bool pathUnknown = IsUnknown(record.strPath);
    const bool skipped = !pathUnknown && Skips(record.strPath);
    item.strPath = pathUnknown ? notAvailable : record.strPath;
    item.bPathKnown = pathUnknown ? 0 : 1;
    item.strPid = formatter.ProcessId(record.dwProcessId);
    item.strParentPid = formatter.ProcessId(record.dwParentProcessId);
    item.strThreads = Decimal(record.dwThreadCount);
    item.strHandles = nt ? Decimal(record.dwHandleCount) : notAvailable;
    item.strOwner = nt && !IsUnknown(record.strOwner) ? record.strOwner : notAvailable;
    item.strCreated = nt ? formatter.FormatDateTime(ToFileTime(record.ftCreationTime)) : notAvailable;
    item.strCommandLine = IsUnknown(record.strCommandLine) ? notAvailable : record.strCommandLine;
    item.strPriority = ValueFormatter::PriorityClassText(record.dwPriorityClass);
    const ProcessItem* same = previous && previous->dwPid == record.dwProcessId
                                      && previous->ftCreated.dwLowDateTime == record.ftCreationTime.dwLowDateTime
                                      && previous->ftCreated.dwHighDateTime == record.ftCreationTime.dwHighDateTime
                                      && previous->strPath == item.strPath
                                  ? previous
                                  : nullptr;
    if (pathUnknown || skipped) {
        item.strCompany = item.strVersion = item.strDescription = notAvailable;
    } else if (same) {
        item.strCompany = same->strCompany;
        item.strVersion = same->strVersion;
        item.strDescription = same->strDescription;
    } else {
        VersionTexts texts = cache.GetVersionTexts(record.strPath, nt, notAvailable);
        item.strCompany = texts.strCompany;
        item.strVersion = texts.strVersion;
        item.strDescription = texts.strDescription;
    }
    item.dwPid = record.dwProcessId;
    item.dwParentPid = record.dwParentProcessId;
    item.dwThreads = record.dwThreadCount;
    item.dwHandles = nt ? record.dwHandleCount : 0;
    item.ftCreated = ToFileTime(record.ftCreationTime);
    item.dwSequence = record.dwSequence;
    item.dwPriorityClass = record.dwPriorityClass;
    // The idle and system processes (first two entries, no path) are never
    // services; where the list has no such entries (Wine) the first two are
    // ordinary processes with their own paths.
    const bool idleOrSystem = record.dwSequence <= 1 && pathUnknown;
    item.bService = nt && !idleOrSystem && !services.Services().empty()
                 && IsServiceCommandLine(item.strCommandLine, services);
    // A load belongs to the last sample: the same process keeps it until the next one.
    SetFigures(item, record, same ? same->nCpuTenths : ProcessLoad::kNone);
    if (withIcon) {
        const int fallback = item.bService ? kImageService : kImageProcess;
        const int icon = pathUnknown || skipped                       ? -1
                         : same && same->nImage > kImageService ? same->nImage
                                                                : AddFileIcon(record.strPath);
        item.nImage = icon >= 0 ? icon : fallback;
    }
}

void ItemBuilder::SetFigures(ProcessItem& item, const ProcessRecord& record, int32_t loadTenths) const
{
    const ProcessCounters& counters = record.counters;
    item.counters = counters;
    item.nCpuTenths = counters.bHasTimes ? loadTenths : ProcessLoad::kNone;
    item.strCpu = ValueFormatter::FormatLoad(item.nCpuTenths);
    const std::string notAvailable = formatter.IsNtFamily() ? ValueFormatter::NotAvailable() : std::string();
    item.strCpuTime = counters.bHasTimes ? ValueFormatter::FormatCpuTime(counters.CpuTime()) : notAvailable;
    item.strWorkingSet = counters.bHasMemory ? ValueFormatter::FormatMemoryK(counters.dwWorkingSet) : notAvailable;
    item.strPrivateBytes = counters.bHasMemory ? ValueFormatter::FormatMemoryK(counters.dwPrivateBytes) : notAvailable;
}

std::vector<uint32_t> ItemBuilder::UpdateProcessItem(ProcessItem& item, const ProcessRecord& record,
                                                     int32_t loadTenths) const
{
    std::vector<uint32_t> changed;
    const bool nt = formatter.IsNtFamily();
    if (item.dwThreads != record.dwThreadCount) {
        item.dwThreads = record.dwThreadCount;
        item.strThreads = Decimal(record.dwThreadCount);
        changed.push_back(ProcessColumns::Threads);
    }
    if (nt && item.dwHandles != record.dwHandleCount) {
        item.dwHandles = record.dwHandleCount;
        item.strHandles = Decimal(record.dwHandleCount);
        changed.push_back(ProcessColumns::Handles);
    }
    if (item.dwPriorityClass != record.dwPriorityClass) {
        item.dwPriorityClass = record.dwPriorityClass;
        item.strPriority = ValueFormatter::PriorityClassText(record.dwPriorityClass);
        changed.push_back(ProcessColumns::Priority);
    }
    const int32_t load = item.nCpuTenths;
    const ProcessCounters was = item.counters;
    SetFigures(item, record, loadTenths);
    const ProcessCounters& now = item.counters;
    if (item.nCpuTenths != load) changed.push_back(ProcessColumns::Cpu);
    if (now.bHasTimes != was.bHasTimes || now.CpuTime() != was.CpuTime()) changed.push_back(ProcessColumns::CpuTime);
    const bool memory = now.bHasMemory != was.bHasMemory;
    if (memory || now.dwWorkingSet != was.dwWorkingSet) changed.push_back(ProcessColumns::WorkingSet);
    if (memory || now.dwPrivateBytes != was.dwPrivateBytes) changed.push_back(ProcessColumns::PrivateBytes);
    return changed;
}

void ItemBuilder::BuildModuleItem(ModuleItem& item, const ModuleRecord& record, const ImportClosure* closure,
                                  bool closureLoaded, bool withIcon)
{
    const std::string notAvailable = ValueFormatter::NotAvailable();
    item = ModuleItem();
    item.strName = record.strName;
    item.strLocation = record.strPath;
    const bool skipped = Skips(record.strPath);
    if (!skipped && record.strPath.find('~') != std::string::npos) {
        char longPath[260] = {};
        DWORD length = kernel32.GetLongPathName(record.strPath.c_str(), longPath, sizeof(longPath));
        if (length > 0 && length < sizeof(longPath)) item.strLocation = longPath;
    }
    char address[16];
    snprintf(address, sizeof(address), "0x%08X", static_cast<unsigned>(record.dwBaseAddress));
    item.strBaseAddress = address;
    // The snapshot has already looked the file up: its stamp keys the cache.
    FileStamp stamp;
    stamp.writeTime = record.ftLastWriteTime.Value();
    stamp.size = record.FileSize();
    VersionTexts texts;
    if (skipped) texts.strVersion = texts.strCompany = texts.strDescription = notAvailable;
    else texts = cache.GetVersionTexts(item.strLocation, formatter.IsNtFamily(), notAvailable,
                                       stamp.writeTime ? &stamp : nullptr);
    item.strVersion = texts.strVersion;
    item.strCompany = texts.strCompany;
    item.strDescription = texts.strDescription;
    item.strSize = ValueFormatter::FormatSizeKb(record.nFileSizeLow);
    const std::string unknown = ValueFormatter::Unknown();
    item.strCreated = record.ftCreationTime.Value() ? formatter.FormatDateTime(ToFileTime(record.ftCreationTime))
                                                    : unknown;
    item.strModified = record.ftLastWriteTime.Value()
                         ? formatter.FormatDateTime(ToFileTime(record.ftLastWriteTime))
                         : unknown;
    item.bDynamic = closureLoaded && closure && !closure->find(record.strName.c_str(), false);
    item.bRelocated = record.dwBaseAddress != record.dwPreferredBase;
    item.dwLoadOrder = record.dwLoadOrder;
    item.dwBaseAddress = record.dwBaseAddress;
    item.dwSize = record.nFileSizeLow;
    item.ftCreated = ToFileTime(record.ftCreationTime);
    item.ftModified = ToFileTime(record.ftLastWriteTime);
    if (withIcon) {
        if (NativeProcessList::LooksExecutable(record.strName)) {
            const int icon = skipped ? -1 : AddFileIcon(item.strLocation);
            item.nImage = icon >= 0 ? icon : kImageProcess;
        } else {
            item.nImage = item.bRelocated ? kImageRelocated : kImageModule;
        }
    }
}
