#pragma once

#include "app/language/LanguageModuleList.h"

#include <windows.h>
#include <commctrl.h>
#include <string>

// "Choose Language": the program's own English and every valid language
// module whose language is installed, each with its flag. Ends with 1 and
// the chosen module's path (empty for English), or 0.
class ClTarnwickChooseLangDlg {
public:
    static constexpr const char* kTemplate = "CLTARNWICKCHOOSELANGDLG";

    // programFolder ends with "\"; current is the active resource module.
    ClTarnwickChooseLangDlg(HINSTANCE instance, HMODULE current, const std::string& programFolder);
    ~ClTarnwickChooseLangDlg();
    ClTarnwickChooseLangDlg(const ClTarnwickChooseLangDlg&) = delete;
    ClTarnwickChooseLangDlg& operator=(const ClTarnwickChooseLangDlg&) = delete;

    INT_PTR DoModal(HWND owner);
    const char* GetChosenModulePath() const { return szChosenModulePath; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    void OnOK();
    void OnCancel();
    void FillImages();
    void FillItems();
    void AddIcon(HICON icon);

    HWND hwnd = nullptr;
    HINSTANCE hInstance;
    HMODULE hCurrent;
    LanguageModuleList list;
    HIMAGELIST hImageList = nullptr;
    char szChosenModulePath[MAX_PATH] = {};
};
