#pragma once

#include "launchers/UserApplication.h"
#include "controls/DialogProcedure.h"

#include "controls/TooltipCtrl.h"

#include <windows.h>
#include <string>

// "Application Properties": the four texts of a user-defined application,
// with a browse button for the program.
class ClTarnwickApplicationPropertiesDlg {
public:
    ClTarnwickApplicationPropertiesDlg();

    // 1 for OK (the texts are stored in the entry), 0 for Cancel.
    INT_PTR Show(HWND owner, UserApplication& entry, bool tooltips);
    // After OK: whether any of the four fields was edited.
    bool Modified() const { return bModified; }

    // The filter of the program dialog: "Applications (*.exe)" and "*.exe",
    // as a double-NUL-terminated list.
    static std::string ProgramFilter();
    // Asks for a program with the open-file dialog, starting in the folder of `current`.
    static bool BrowseForProgram(HWND owner, const std::string& current, std::string& chosen);

private:
    friend INT_PTR CALLBACK DialogProcedure<ClTarnwickApplicationPropertiesDlg>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(WORD id);
    void OnOk();
    void OnBrowse();
    std::string FieldText(int id) const;

    HWND hWnd;
    UserApplication* pEntry;
    bool bTooltips;
    bool bModified;
    TooltipCtrl tooltips;
};
