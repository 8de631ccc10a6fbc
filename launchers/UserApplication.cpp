#include "launchers/UserApplication.h"

#include "sysinfo/FileFactsCache.h"

#include <shellapi.h>
#include <cstring>

namespace {

void CopyText(char (&target)[260], const std::string& text)
{
    const size_t length = text.size() < 259 ? text.size() : 259;
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

} // namespace

UserApplication::UserApplication() : szDescription{}, szApplication{}, szStartPath{}, szArguments{}, hIcon(nullptr) {}

UserApplication::~UserApplication()
{
    if (hIcon) DestroyIcon(hIcon);
}

UserApplication::UserApplication(const UserApplication& other) : UserApplication()
{
    *this = other;
}

UserApplication& UserApplication::operator=(const UserApplication& other)
{
    if (this == &other) return *this;
    std::memcpy(szDescription, other.szDescription, sizeof(szDescription));
    std::memcpy(szApplication, other.szApplication, sizeof(szApplication));
    std::memcpy(szStartPath, other.szStartPath, sizeof(szStartPath));
    std::memcpy(szArguments, other.szArguments, sizeof(szArguments));
    SetIcon(other.hIcon ? CopyIcon(other.hIcon) : nullptr);
    return *this;
}

void UserApplication::SetTexts(const std::string& description, const std::string& application,
                               const std::string& startPath, const std::string& arguments)
{
    CopyText(szDescription, description);
    CopyText(szApplication, application);
    CopyText(szStartPath, startPath);
    CopyText(szArguments, arguments);
}

ApplicationEntry UserApplication::Entry() const
{
    return {szDescription, szApplication, szStartPath, szArguments};
}

void UserApplication::SetIcon(HICON icon)
{
    if (hIcon && hIcon != icon) DestroyIcon(hIcon);
    hIcon = icon;
}

void UserApplication::LoadIcon(HINSTANCE program)
{
    HICON small = nullptr;
    if (szApplication[0] && ExtractIconExA(szApplication, 0, nullptr, &small, 1) > 0 && small) {
        SetIcon(small);
        return;
    }
    SetIcon(static_cast<HICON>(LoadImageA(program, MAKEINTRESOURCEA(kDefaultIcon), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
}

ApplicationEntry UserApplication::NewEntryTexts(const std::string& path, const std::string& fileDescription)
{
    ApplicationEntry entry;
    const size_t slash = path.find_last_of("\\/:");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!fileDescription.empty()) {
        entry.strDescription = fileDescription;
    } else {
        const size_t dot = name.find_last_of('.');
        entry.strDescription = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    }
    entry.strApplication = path;
    entry.strStartPath = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    entry.strArguments = "%m";
    return entry;
}

void UserApplication::MakeNewEntry(const std::string& path, HINSTANCE program, UserApplication& entry)
{
    const bool ntFamily = (GetVersion() & 0x80000000u) == 0;
    const std::string description = FileFactsCache::ReadVersionTexts(path, ntFamily, std::string()).strDescription;
    const ApplicationEntry texts = NewEntryTexts(path, description);
    entry.SetTexts(texts.strDescription, texts.strApplication, texts.strStartPath, texts.strArguments);
    entry.LoadIcon(program);
}
