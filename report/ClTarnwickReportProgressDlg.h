#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// "Creating Report": the modeless progress window of a report, with a bar for
// the processes and one for the modules of the current process. Cancel (also
// Escape and the close box) asks whether to abort.
class ClTarnwickReportProgressDlg {
public:
    ClTarnwickReportProgressDlg() = default;
    ~ClTarnwickReportProgressDlg();
    ClTarnwickReportProgressDlg(const ClTarnwickReportProgressDlg&) = delete;
    ClTarnwickReportProgressDlg& operator=(const ClTarnwickReportProgressDlg&) = delete;

    // Creates and shows the window, owned by `owner`; clears the abort flag.
    bool Create(HWND owner);
    void Destroy();
    HWND GetHwnd() const { return hWnd; }

    // `bar`: 0 processes, 1 modules.
    void SetRange(int bar, uint32_t minimum, uint32_t maximum);
    void SetStep(int bar, uint32_t step);
    void SetPosition(int bar, uint32_t position);
    void Step(int bar);
    void SetProcessText(const std::string& text);
    void SetModuleText(const std::string& text);

    // Set once the user has confirmed the abort; stays after Destroy.
    bool IsAborted() const { return bAbort != 0; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCancel();
    HWND Bar(int bar) const;

    HWND hWnd = nullptr;
    uint8_t bAbort = 0;
    bool bAsking = false;
};
