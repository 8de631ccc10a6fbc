#pragma once

#include "controls/TooltipCtrl.h"
#include "controls/DialogProcedure.h"

#include <windows.h>
#include <commctrl.h>

// One page of an options dialog: a frameless child dialog made from its
// template, placed over the dialog's page area and shown while its item is
// selected. A page edits the values it was given (the dialog's copies) and
// remembers whether anything was changed. OK and Cancel pressed inside it
// (Enter, Esc) go to the dialog.
class OptionsPage {
public:
    OptionsPage();
    virtual ~OptionsPage();
    OptionsPage(const OptionsPage&) = delete;
    OptionsPage& operator=(const OptionsPage&) = delete;

    virtual const char* TemplateName() const = 0;
    // Creates the page hidden at `rect` of `parent` from `resources`.
    bool Create(HMODULE resources, HWND parent, const RECT& rect, bool tooltips);
    void Destroy();
    void Show(bool show);
    HWND GetHwnd() const { return hWnd; }
    bool Changed() const { return bChanged; }

protected:
    // After the controls exist: fill them from the values.
    virtual void OnInitPage() = 0;
    // Commands, notifications and other messages of the page; true when handled.
    virtual bool OnCommand(WORD id, WORD code, HWND control) { return false; }
    virtual bool OnNotify(NMHDR& header, LRESULT& result) { return false; }
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) { return false; }
    virtual void OnDestroyPage() {}

    void MarkChanged() { bChanged = true; }
    HWND Item(int id) const { return GetDlgItem(hWnd, id); }
    // The string `stringId` as the tip of control `id` (no tip for 0).
    void AddTip(int id, unsigned stringId);
    bool TooltipsOn() const { return bTooltips; }
    // The options dialog: owner of the page's boxes and dialogs.
    HWND Owner() const;
    bool IsChecked(int id) const;
    void SetChecked(int id, bool checked);

    HWND hWnd;
    // Set while the page fills its controls: notifications then change nothing.
    bool bFilling;

private:
    friend INT_PTR CALLBACK DialogProcedure<OptionsPage>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    TooltipCtrl tooltips;
    bool bTooltips;
    bool bChanged;
};
