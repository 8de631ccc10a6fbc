#pragma once

#include <cstdint>
#include <string>

// What a report writer tells the user while it runs, and asks of them. The
// GUI shows a progress dialog; the console tool a progress line.
class ReportProgress {
public:
    enum Bar { Processes = 0, Modules = 1 };

    virtual ~ReportProgress() {}

    // The writing starts (the main window is disabled) and ends.
    virtual void Begin() {}
    virtual void End() {}
    virtual void SetRange(int bar, uint32_t minimum, uint32_t maximum) = 0;
    virtual void SetStep(int bar, uint32_t step) = 0;
    virtual void SetPosition(int bar, uint32_t position) = 0;
    virtual void Step(int bar) = 0;
    virtual void SetProcessText(const std::string& text) = 0;
    virtual void SetModuleText(const std::string& text) = 0;
    // Lets pending window messages (a Cancel press, repaints) run.
    virtual void Pump() {}
    virtual bool IsAborted() const = 0;
    // A failure message for the user (message box or standard error).
    virtual void ShowError(const std::string& text) = 0;
    // A file or folder that could not be written: the message, the path and
    // the system's error code (the message alone unless told otherwise).
    virtual void ShowFileError(const std::string& text, const std::string& path, unsigned long systemError)
    {
        ShowError(text);
    }
    // The finished HTML report is handed to the shell.
    virtual void OpenDocument(const std::string& path) {}
};
