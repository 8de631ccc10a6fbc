#pragma once

#include "app/mainframe/BusyCount.h"

#include <windows.h>

class ClDebugString;
class ProcessSnapshot;
class TarnwickApp;
struct LiveSettings;
struct ProcessItem;
struct UserSettings;

// What the main window's collaborators see of the frame: its window, the
// application object, the settings and the snapshot it owns, the busy count
// and the refresh.
class FrameHost : public BusyHolder {
public:
    virtual HWND Window() const = 0;
    virtual TarnwickApp& App() = 0;
    virtual UserSettings& Settings() = 0;
    // The live view's settings (update speed, highlighting, the process columns 12 to 15).
    virtual LiveSettings& Live() = 0;
    virtual bool IsBusy() const = 0;
    virtual ProcessSnapshot& Snapshot() = 0;
    virtual ClDebugString& Debug() = 0;
    virtual bool IsNtFamily() const = 0;
    virtual bool IsFullScreen() const = 0;
    // While busy: remembers the request and returns true (it runs once the count is 0).
    virtual bool Defer(BusyCount::Request request) = 0;
    // full: a new process snapshot and the tree refilled; otherwise the list
    // is rebuilt for the tree's selection. Held back while busy.
    virtual void Refresh(bool full) = 0;
    // String 77 "Please select a process!" in a box owned by the main window.
    virtual void ShowSelectProcessMessage() = 0;
    // Whether the listed process is still the one the list showed (same id
    // and creation time). When its id was reused (or, with `endedToo`, it has
    // ended): string 230 in a box, a full refresh follows, and false.
    virtual bool ConfirmRunning(const ProcessItem& process, bool endedToo) = 0;

protected:
    ~FrameHost() = default;
};
