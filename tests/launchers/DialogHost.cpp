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
        ClTarnwickApplicationPropertiesDlg dialog;
        const INT_PTR chosen = dialog.Show(nullptr, entry, true);
        result = "result=" + std::to_string(chosen) + "\ndescription=" + entry.szDescription + "\napplication="
               + entry.szApplication + "\nstartpath=" + entry.szStartPath + "\narguments=" + entry.szArguments
               + "\nmodified=" + (dialog.Modified() ? "1" : "0") + "\n";
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
