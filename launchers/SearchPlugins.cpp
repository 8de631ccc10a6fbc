#include "launchers/SearchPlugins.h"
#include "sysutils/ProgramFolder.h"

#include "launchers/IconDecoder.h"
#include "launchers/QueryUrl.h"
#include "launchers/SearchPluginParser.h"
#include "launchers/Utf8Text.h"

#include "sysinfo/AnsiText.h"
#include "sysinfo/SHELL32Wrapper.h"
#include "sysutils/Orvo_SystemUtilities.h"

#include <shellapi.h>
#include <algorithm>

namespace {

const UINT kBuiltinPicture = 205;

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

bool SearchPlugins::ReadSmallFile(const std::string& path, size_t maxSize, std::string& bytes)
{
    bytes.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    bool ok = size != INVALID_FILE_SIZE && high == 0 && size <= maxSize;
    if (ok && size) {
        bytes.resize(size);
        DWORD read = 0;
        ok = ReadFile(file, &bytes[0], size, &read, nullptr) && read == size;
    }
    CloseHandle(file);
    if (!ok) bytes.clear();
    return ok;
}

std::string SearchPlugins::AnsiToUtf8(const std::string& text)
{
    if (text.empty()) return text;
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return text;
    std::u16string wide(static_cast<size_t>(length), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), reinterpret_cast<wchar_t*>(&wide[0]),
                        length);
    return Utf8Text::Encode(wide);
}

std::string SearchPlugins::Utf8ToAnsi(const std::string& text)
{
    std::u16string wide;
    if (!Utf8Text::Decode(text, wide)) return text;
    return AnsiText::FromUtf16(wide);
}

std::string SearchPlugins::ToUtf8(const std::string& bytes)
{
    std::u16string wide;
    if (Utf8Text::Decode(bytes, wide)) return Utf8Text::Encode(wide);
    return AnsiToUtf8(bytes);
}

bool SearchPlugins::LoadSearchPlugin(const std::string& path, SearchEngine& engine)
{
    engine.Clear();
    std::string bytes;
    if (!ReadSmallFile(path, kMaxPluginSize, bytes)) return false;
    if (!SearchPluginParser::ParseSearchPlugin(ToUtf8(bytes), engine)) return false;
    engine.strName = Utf8ToAnsi(engine.strName);
    engine.strDescription = Utf8ToAnsi(engine.strDescription);
    engine.strSourceFile = path;

    const size_t slash = path.find_last_of("\\/:");
    const size_t dot = path.find_last_of('.');
    const std::string stem = (dot != std::string::npos && (slash == std::string::npos || dot > slash))
                           ? path.substr(0, dot) : path;
    static const struct {
        const char* szExtension;
        uint32_t nType;
    } kIcons[] = {{".gif", SearchEngine::IconGif},
                  {".jpg", SearchEngine::IconJpeg},
                  {".jpeg", SearchEngine::IconJpeg},
                  {".png", SearchEngine::IconPng},
                  {".ico", SearchEngine::IconIco}};
    for (const auto& icon : kIcons) {
        const std::string iconPath = stem + icon.szExtension;
        HANDLE file = CreateFileA(iconPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        CloseHandle(file);
        engine.strIconFile = iconPath;
        engine.nIconType = icon.nType;
        std::string picture;
        if (ReadSmallFile(iconPath, IconDecoder::kMaxFileSize, picture))
            IconDecoder::Decode(reinterpret_cast<const uint8_t*>(picture.data()), picture.size(), icon.nType,
                                engine.image);
        break;
    }
    return true;
}

std::vector<SearchEngine> SearchPlugins::LoadSearchPluginFolder(const std::string& folder)
{
    std::string base = folder;
    if (!base.empty() && base.back() != '\\') base += '\\';
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((base + "*.src").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
    std::vector<SearchEngine> engines;
    for (const std::string& name : names) {
        SearchEngine engine;
        if (LoadSearchPlugin(base + name, engine)) engines.push_back(engine);
    }
    return engines;
}

std::string SearchPlugins::DefaultFolder()
{
    return ProgramFolder::File("SearchPlugins\\");
}

void SearchPlugins::LoadBuiltinEngine(HMODULE module, const std::string& languageCode, SearchEngine& engine)
{
    QueryUrl::MakeBuiltinEngine(languageCode, engine);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(kBuiltinPicture), "RT_PNG");
    if (!resource) return;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return;
    IconDecoder::Decode(static_cast<const uint8_t*>(bytes), SizeofResource(module, resource), SearchEngine::IconPng,
                        engine.image);
}

std::string SearchPlugins::QueryAddress(const SearchEngine& engine, const std::string& term)
{
    return QueryUrl::BuildQueryUrl(engine, AnsiToUtf8(term));
}

bool SearchPlugins::SearchTheInternet(const SearchEngine& engine, const std::string& term, HWND owner)
{
    if (term.empty() || !engine.IsValid()) return false;
    const std::string address = QueryAddress(engine, term);
    std::u16string wide;
    const bool ntFamily = (GetVersion() & 0x80000000u) == 0;
    if (ntFamily && Utf8Text::Decode(address, wide)) {
        SHELL32Wrapper shell;
        if (shell.HasShellExecuteExW()) {
            SHELLEXECUTEINFOW info = {};
            info.cbSize = sizeof(info);
            info.fMask = SEE_MASK_FLAG_NO_UI;
            info.hwnd = owner;
            info.lpVerb = L"open";
            info.lpFile = reinterpret_cast<const wchar_t*>(wide.c_str());
            info.nShow = SW_SHOWNORMAL;
            return shell.ShellExecuteExW(&info);
        }
    }
    const std::string url = QueryUrl::AsciiForm(address);
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = "open";
    info.lpFile = url.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&info) != FALSE;
}
