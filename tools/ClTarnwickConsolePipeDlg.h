#pragma once

#include "tools/ConsoleTextFilter.h"
#include "tools/ConsoleTextLimit.h"
#include "tools/PipedProcess.h"

#include "controls/TooltipCtrl.h"

#include <windows.h>
#include <string>

// The "Console" window: runs a console program hidden and shows what it
// writes to standard output and error, in arrival order. Cancel ends a
// program that still runs (the text stays); OK and Cancel close the window
// once nothing runs. The window keeps the last 4 MB (on the 9x family, whose
// edit controls hold 64 KB, the last 60 KB); earlier output gives way to one
// line (string 231) saying it was dropped.
class ClTarnwickConsolePipeDlg : public PipedProcess {
public:
    static constexpr size_t kMaxText = 4 * 1024 * 1024;
    static constexpr size_t kMaxText9x = 60 * 1024;
    // The text kept for this system, and how far past it text may wait
    // before it is cut back.
    static size_t MaxText();
    static size_t Slack() { return MaxText() / 8; }

    ClTarnwickConsolePipeDlg();
    ~ClTarnwickConsolePipeDlg() override;

    // Runs modally; 1 for OK, 0 for Cancel. `folder` empty: our current folder.
    INT_PTR Show(HWND owner, const std::string& commandLine, const std::string& folder, bool tooltips);

protected:
    void Started(const std::string& commandLine) override;
    void Output(const char* text, size_t length) override;
    void ErrorOutput(const char* text, size_t length) override;
    void Finished() override;

private:
    static const UINT WM_OUTPUT_READY = WM_APP + 1;
    static const UINT WM_RUN_FINISHED = WM_APP + 2;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(WORD id);
    void OnSize(int width, int height);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnOutputReady();
    void OnRunFinished();
    void OnDestroy();

    // Called on the reader and watcher threads: text waits here for the window.
    void Queue(const std::string& text);
    // Text was lost (no memory): the window says so with its next text.
    void NoteLost();
    void SetRunning(bool running);

    HWND hWnd;
    HWND hOwner;
    std::string strCommandLine;
    std::string strFolder;
    bool bTooltips;
    bool bRunning;
    bool bChildStarted;
    HFONT hFont;
    HICON ahIcons[3];
    TooltipCtrl tooltips;
    SIZE szMinimum;
    RECT rcEditMargins;      // left, top, right and bottom distances to the client edges
    POINT aptButtons[3];     // distances of the buttons' top-left corners to the bottom-right corner

    CRITICAL_SECTION csPending;
    std::string strPending;
    bool bPendingDropped;    // text was lost before strPending (too much, or no memory)
    bool bPosted;
    ConsoleTextLimit shownText; // the window's thread only
    ConsoleTextFilter outputFilter;
    ConsoleTextFilter errorFilter;
};
