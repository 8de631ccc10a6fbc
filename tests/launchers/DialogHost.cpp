// Shows one launcher dialog so that a test can work it from outside, then
// writes what the dialog returned to OUTFILE:
//   tw-dialog-host properties OUTFILE DESCRIPTION APPLICATION STARTPATH ARGUMENTS
//   tw-dialog-host import OUTFILE FOLDER [ACTIVE-PATH...]
//   tw-dialog-host console OUTFILE COMMAND
#include "launchers/ClTarnwickApplicationPropertiesDlg.h"
#include "launchers/MozillaSearchPluginImpDlg.h"
#include "tools/ClTarnwickConsolePipeDlg.h"

#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

void WriteResult(const char* path, const std::string& text)
{
    FILE* file = std::fopen(path, "wb");
    if (!file) return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

// Whether two icons (or nulls) draw the same 16 x 16 pixels on white.
bool SameIcon(HICON first, HICON second)
{
    if (!first || !second) return first == second;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 16);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 32, 16};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, first, 16, 16, 0, nullptr, DI_NORMAL);
    DrawIconEx(dc, 16, 0, second, 16, 16, 0, nullptr, DI_NORMAL);
    bool same = true;
    for (int y = 0; y < 16 && same; ++y)
        for (int x = 0; x < 16 && same; ++x) same = GetPixel(dc, x, y) == GetPixel(dc, x + 16, y);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return same;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    InitCommonControls();
    if (__argc < 4) return 2;
    const std::string mode = __argv[1];
    const char* out = __argv[2];
    std::string result;
    if (mode == "properties" && __argc == 7) {
        UserApplication entry;
        entry.SetTexts(__argv[3], __argv[4], __argv[5], __argv[6]);
        entry.LoadIcon(GetModuleHandleA(nullptr));
        const HICON icon = CopyIcon(entry.hIcon);
        ClTarnwickApplicationPropertiesDlg dialog;
        const INT_PTR chosen = dialog.Show(nullptr, entry, true);
        // The icon the entry shows now: its pixels against the one it had.
        const bool sameIcon = SameIcon(icon, entry.hIcon);
        if (icon) DestroyIcon(icon);
        result = "result=" + std::to_string(chosen) + "\ndescription=" + entry.szDescription + "\napplication="
               + entry.szApplication + "\nstartpath=" + entry.szStartPath + "\narguments=" + entry.szArguments
               + "\nmodified=" + (dialog.Modified() ? "1" : "0") + "\nicon=" + (sameIcon ? "kept" : "new") + "\n";
    } else if (mode == "import") {
        std::set<std::string> active;
        for (int i = 4; i < __argc; ++i) active.insert(MozillaSearchPluginImpDlg::LowerCase(__argv[i]));
        MozillaSearchPluginImpDlg dialog;
        result = "result=" + std::to_string(dialog.Show(nullptr, __argv[3], active)) + "\n";
        for (const SearchEngine& engine : dialog.Chosen()) result += "chosen=" + engine.strSourceFile + "\n";
    } else if (mode == "console") {
        ClTarnwickConsolePipeDlg dialog;
        result = "result=" + std::to_string(dialog.Show(nullptr, __argv[3], std::string(), true)) + "\n";
    } else {
        return 2;
    }
    WriteResult(out, result);
    return 0;
}
