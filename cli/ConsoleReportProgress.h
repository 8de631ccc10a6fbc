#pragma once

#include "report/ReportProgress.h"

// Report progress on the console: a progress line on standard error, Ctrl+C
// as the abort, failures as the tool's one-line errors.
class ConsoleReportProgress : public ReportProgress {
public:
    ConsoleReportProgress();
    ~ConsoleReportProgress() override;

    void End() override;
    void SetRange(int bar, uint32_t minimum, uint32_t maximum) override;
    void SetStep(int bar, uint32_t step) override;
    void SetPosition(int bar, uint32_t position) override;
    void Step(int bar) override;
    void SetProcessText(const std::string& text) override;
    void SetModuleText(const std::string& text) override;
    bool IsAborted() const override;
    void ShowError(const std::string& text) override;
    void ShowFileError(const std::string& text, const std::string& path, unsigned long systemError) override;

private:
    void Show();
    uint32_t maximum[2];
    uint32_t position[2];
    uint32_t step[2];
    std::string process;
    bool shown;
};
