#pragma once

#include "report/ClTarnwickReportProgressDlg.h"
#include "report/ReportProgress.h"

#include <windows.h>

// Report progress in the program: the main window is disabled while the
// "Creating Report" window shows the bars; messages are message boxes; the
// finished report is opened with the shell.
class GuiReportProgress : public ReportProgress {
public:
    explicit GuiReportProgress(HWND mainWindow);
    ~GuiReportProgress() override;

    void Begin() override;
    void End() override;
    void SetRange(int bar, uint32_t minimum, uint32_t maximum) override;
    void SetStep(int bar, uint32_t step) override;
    void SetPosition(int bar, uint32_t position) override;
    void Step(int bar) override;
    void SetProcessText(const std::string& text) override;
    void SetModuleText(const std::string& text) override;
    void Pump() override;
    bool IsAborted() const override;
    void ShowError(const std::string& text) override;
    void OpenDocument(const std::string& path) override;

    HWND DialogWindow() const { return dialog.GetHwnd(); }

private:
    HWND hMainWindow;
    bool bStarted;
    ClTarnwickReportProgressDlg dialog;
};
