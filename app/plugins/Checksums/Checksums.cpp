// Checksums: a sample Tarnwick plug-in for files (kind 2), in C++.
// Shows size, CRC-32 and MD5 of every selected module or process file.
// Configure picks the checksums and the case of the digits (kept in
// Checksums.ini beside the DLL); About tells what it is.
#include "TarnwickPlugin.h"
#include "ChecksumsIds.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

HINSTANCE g_instance;
PluginInfo g_info;

struct Options {
    bool bCrc = true;
    bool bMd5 = true;
    bool bUpper = false;
};
Options g_options;

bool German()
{
    return (g_info.wLanguageId & 0x3FF) == LANG_GERMAN;
}

// ---------------------------------------------------------------- checksums

class Crc32 {
public:
    Crc32()
    {
        for (unsigned n = 0; n < 256; ++n) {
            unsigned long c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320UL ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    void Update(const unsigned char* data, size_t length)
    {
        for (size_t i = 0; i < length; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    unsigned long Value() const { return crc ^ 0xFFFFFFFFUL; }

private:
    unsigned long table[256];
    unsigned long crc = 0xFFFFFFFFUL;
};

// RFC 1321.
class Md5 {
public:
    void Update(const unsigned char* data, size_t length)
    {
        size_t used = static_cast<size_t>(count % 64);
        count += length;
        while (length > 0) {
            const size_t take = length < 64 - used ? length : 64 - used;
            std::memcpy(block + used, data, take);
            used += take;
            data += take;
            length -= take;
            if (used == 64) {
                Transform(block);
                used = 0;
            }
        }
    }
    void Final(unsigned char digest[16])
    {
        const unsigned long long bits = count * 8;
        static const unsigned char pad[64] = {0x80};
        const size_t used = static_cast<size_t>(count % 64);
        Update(pad, used < 56 ? 56 - used : 120 - used);
        unsigned char length[8];
        for (int i = 0; i < 8; ++i) length[i] = static_cast<unsigned char>(bits >> (8 * i));
        Update(length, 8);
        for (int i = 0; i < 16; ++i) digest[i] = static_cast<unsigned char>(state[i / 4] >> (8 * (i % 4)));
    }

private:
    static unsigned long Rotate(unsigned long x, int n) { return ((x << n) | (x >> (32 - n))) & 0xFFFFFFFFUL; }
    void Transform(const unsigned char* data)
    {
        static const int shifts[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                       5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                       4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                       6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
        static const unsigned long sines[64] = {
            0xD76AA478UL, 0xE8C7B756UL, 0x242070DBUL, 0xC1BDCEEEUL,
            0xF57C0FAFUL, 0x4787C62AUL, 0xA8304613UL, 0xFD469501UL,
            0x698098D8UL, 0x8B44F7AFUL, 0xFFFF5BB1UL, 0x895CD7BEUL,
            0x6B901122UL, 0xFD987193UL, 0xA679438EUL, 0x49B40821UL,
            0xF61E2562UL, 0xC040B340UL, 0x265E5A51UL, 0xE9B6C7AAUL,
            0xD62F105DUL, 0x02441453UL, 0xD8A1E681UL, 0xE7D3FBC8UL,
            0x21E1CDE6UL, 0xC33707D6UL, 0xF4D50D87UL, 0x455A14EDUL,
            0xA9E3E905UL, 0xFCEFA3F8UL, 0x676F02D9UL, 0x8D2A4C8AUL,
            0xFFFA3942UL, 0x8771F681UL, 0x6D9D6122UL, 0xFDE5380CUL,
            0xA4BEEA44UL, 0x4BDECFA9UL, 0xF6BB4B60UL, 0xBEBFBC70UL,
            0x289B7EC6UL, 0xEAA127FAUL, 0xD4EF3085UL, 0x04881D05UL,
            0xD9D4D039UL, 0xE6DB99E5UL, 0x1FA27CF8UL, 0xC4AC5665UL,
            0xF4292244UL, 0x432AFF97UL, 0xAB9423A7UL, 0xFC93A039UL,
            0x655B59C3UL, 0x8F0CCC92UL, 0xFFEFF47DUL, 0x85845DD1UL,
            0x6FA87E4FUL, 0xFE2CE6E0UL, 0xA3014314UL, 0x4E0811A1UL,
            0xF7537E82UL, 0xBD3AF235UL, 0x2AD7D2BBUL, 0xEB86D391UL,
        };
        unsigned long m[16];
        for (int i = 0; i < 16; ++i)
            m[i] = data[i * 4] | (data[i * 4 + 1] << 8) | (data[i * 4 + 2] << 16)
                 | (static_cast<unsigned long>(data[i * 4 + 3]) << 24);
        unsigned long a = state[0], b = state[1], c = state[2], d = state[3];
        for (int i = 0; i < 64; ++i) {
            unsigned long f;
            int g;
            if (i < 16) {
                f = (b & c) | (~b & d);
                g = i;
            } else if (i < 32) {
                f = (d & b) | (~d & c);
                g = (5 * i + 1) % 16;
            } else if (i < 48) {
                f = b ^ c ^ d;
                g = (3 * i + 5) % 16;
            } else {
                f = c ^ (b | ~d);
                g = (7 * i) % 16;
            }
            const unsigned long next = d;
            d = c;
            c = b;
            b = (b + Rotate((a + f + sines[i] + m[g]) & 0xFFFFFFFFUL, shifts[i])) & 0xFFFFFFFFUL;
            a = next;
        }
        state[0] = (state[0] + a) & 0xFFFFFFFFUL;
        state[1] = (state[1] + b) & 0xFFFFFFFFUL;
        state[2] = (state[2] + c) & 0xFFFFFFFFUL;
        state[3] = (state[3] + d) & 0xFFFFFFFFUL;
    }

    unsigned long state[4] = {0x67452301UL, 0xEFCDAB89UL, 0x98BADCFEUL, 0x10325476UL};
    unsigned long long count = 0;
    unsigned char block[64] = {};
};

std::string SystemText(DWORD error)
{
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof(text),
                   nullptr);
    std::string result(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
        result.pop_back();
    return result;
}

std::string Hex(const unsigned char* bytes, size_t count)
{
    const char* digits = g_options.bUpper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

std::string GroupedNumber(unsigned long long value)
{
    std::string digits = std::to_string(value);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += German() ? '.' : ',';
        grouped += digits[i];
    }
    return grouped;
}

// One file's block of the report.
std::string Describe(const std::string& path)
{
    std::string text = path + "\r\n";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        char line[64];
        std::snprintf(line, sizeof(line), German() ? "  Fehler %lu: " : "  Error %lu: ",
                      static_cast<unsigned long>(error));
        return text + line + SystemText(error) + "\r\n";
    }
    Crc32 crc;
    Md5 md5;
    std::vector<unsigned char> buffer(65536);
    unsigned long long size = 0;
    DWORD read = 0;
    bool failed = false;
    for (;;) {
        if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
            failed = true;
            break;
        }
        if (read == 0) break;
        size += read;
        if (g_options.bCrc) crc.Update(buffer.data(), read);
        if (g_options.bMd5) md5.Update(buffer.data(), read);
    }
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (failed) return text + (German() ? "  Lesefehler: " : "  Read error: ") + SystemText(error) + "\r\n";

    text += (German() ? "  Gr\xF6\xDF" "e:   " : "  Size:   ") + GroupedNumber(size) + " Bytes\r\n";
    if (g_options.bCrc) {
        const unsigned long value = crc.Value();
        const unsigned char bytes[4] = {static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
                                         static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
        text += "  CRC-32: " + Hex(bytes, 4) + "\r\n";
    }
    if (g_options.bMd5) {
        unsigned char digest[16];
        md5.Final(digest);
        text += "  MD5:    " + Hex(digest, 16) + "\r\n";
    }
    return text;
}

// ---------------------------------------------------------------- options file

std::string OptionsPath()
{
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(g_instance, path, sizeof(path));
    if (length == 0 || length >= sizeof(path) - 1) return std::string();
    std::string result(path, length);
    const size_t slash = result.find_last_of('\\');
    result.erase(slash == std::string::npos ? 0 : slash + 1);
    result += "Checksums.ini";
    return result.size() < MAX_PATH ? result : std::string();
}

void LoadOptions()
{
    const std::string path = OptionsPath();
    if (path.empty()) return;
    g_options.bCrc = GetPrivateProfileIntA("Checksums", "Crc32", 1, path.c_str()) != 0;
    g_options.bMd5 = GetPrivateProfileIntA("Checksums", "Md5", 1, path.c_str()) != 0;
    g_options.bUpper = GetPrivateProfileIntA("Checksums", "UpperCase", 0, path.c_str()) != 0;
}

void SaveOptions()
{
    const std::string path = OptionsPath();
    if (path.empty()) return;
    WritePrivateProfileStringA("Checksums", "Crc32", g_options.bCrc ? "1" : "0", path.c_str());
    WritePrivateProfileStringA("Checksums", "Md5", g_options.bMd5 ? "1" : "0", path.c_str());
    WritePrivateProfileStringA("Checksums", "UpperCase", g_options.bUpper ? "1" : "0", path.c_str());
}

// ---------------------------------------------------------------- dialogs

void CopyToClipboard(HWND owner, const std::string& text)
{
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (memory) {
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

INT_PTR CALLBACK ResultProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        const std::string* text = reinterpret_cast<const std::string*>(lParam);
        SendDlgItemMessageA(dialog, IDC_CS_TEXT, WM_SETFONT,
                            reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), FALSE);
        SetDlgItemTextA(dialog, IDC_CS_TEXT, text->c_str());
        if (German()) {
            SetWindowTextA(dialog, "Pr\xFC" "fsummen");
            SetDlgItemTextA(dialog, IDC_CS_COPY, "&Kopieren");
            SetDlgItemTextA(dialog, IDCANCEL, "Schlie\xDF" "en");
        }
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CS_COPY: {
            const int length = GetWindowTextLengthA(GetDlgItem(dialog, IDC_CS_TEXT));
            std::string text(static_cast<size_t>(length) + 1, '\0');
            GetDlgItemTextA(dialog, IDC_CS_TEXT, &text[0], length + 1);
            text.resize(static_cast<size_t>(length));
            CopyToClipboard(dialog, text);
            return TRUE;
        }
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CheckDlgButton(dialog, IDC_CS_CRC, g_options.bCrc ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_CS_MD5, g_options.bMd5 ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_CS_UPPER, g_options.bUpper ? BST_CHECKED : BST_UNCHECKED);
        if (German()) {
            SetWindowTextA(dialog, "Pr\xFC" "fsummen: Einstellungen");
            SetDlgItemTextA(dialog, IDC_CS_UPPER, "&Gro\xDF" "buchstaben in Hexadezimalzahlen");
            SetDlgItemTextA(dialog, IDCANCEL, "Abbrechen");
        }
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            g_options.bCrc = IsDlgButtonChecked(dialog, IDC_CS_CRC) == BST_CHECKED;
            g_options.bMd5 = IsDlgButtonChecked(dialog, IDC_CS_MD5) == BST_CHECKED;
            g_options.bUpper = IsDlgButtonChecked(dialog, IDC_CS_UPPER) == BST_CHECKED;
            SaveOptions();
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// ---------------------------------------------------------------- entry points
// No C++ exception may leave them: each catches everything.

int __cdecl Initialize(PluginInfo* info)
{
    try {
        LoadOptions();
        info->pszName = German() ? "Pr\xFC" "fsummen" : "Checksums";
        info->pszDescription = German() ? "Gr\xF6\xDF" "e, CRC-32 und MD5 von Dateien" : "Size, CRC-32 and MD5 of files";
    } catch (...) {
    }
    return 0;
}

int __cdecl Finalize(PluginInfo*)
{
    return 0;
}

int __cdecl Execute(PluginInfo* info)
{
    try {
        // The paths are the host's only during this call: copied first.
        std::vector<std::string> paths;
        const char* const* given = TW_PLUGIN_PATHS(info);
        for (DWORD i = 0; given && i < info->nCount; ++i)
            if (given[i]) paths.push_back(given[i]);
        if (paths.empty()) return 0;

        HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
        std::string report;
        for (const std::string& path : paths) report += Describe(path) + "\r\n";
        SetCursor(previous);
        DialogBoxParamA(g_instance, "CHECKSUMSDLG", info->hwndMain, ResultProc, reinterpret_cast<LPARAM>(&report));
    } catch (...) {
    }
    return 0;
}

int __cdecl Configure(PluginInfo* info)
{
    try {
        DialogBoxParamA(g_instance, "CHECKSUMSCFGDLG", info->hwndMain, OptionsProc, 0);
    } catch (...) {
    }
    return 0;
}

int __cdecl About(PluginInfo* info)
{
    MessageBoxA(info->hwndMain,
                German() ? "Pr\xFC" "fsummen 1.0\n\nZeigt Gr\xF6\xDF" "e, CRC-32 und MD5 der ausgew\xE4hlten Dateien.\n"
                           "Ein Beispiel-Plugin f\xFCr Tarnwick."
                         : "Checksums 1.0\n\nShows size, CRC-32 and MD5 of the selected files.\n"
                           "A sample plug-in for Tarnwick.",
                "Checksums", MB_OK | MB_ICONINFORMATION);
    return 0;
}

} // namespace

TW_PLUGIN_EXPORT PluginInfo* __cdecl GetPluginInfo(void)
{
    g_info.dwVersion = TW_PLUGIN_VERSION;
    g_info.dwSize = sizeof(PluginInfo);
    g_info.pszName = "Checksums";
    g_info.pszDescription = "Size, CRC-32 and MD5 of files";
    g_info.nKind = TW_PLUGIN_KIND_FILES;
    g_info.Initialize = Initialize;
    g_info.Finalize = Finalize;
    g_info.Configure = Configure;
    g_info.Execute = Execute;
    g_info.About = About;
    return &g_info;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
