#pragma once

// The busy count of the main window. Modal flows (context menus, dialogs,
// reports, plug-in runs) hold it while they keep items or lists of the views;
// requests that would free those (refresh, setting change, the keyboard
// selection timer, closing) are held back meanwhile and run once when the
// count returns to 0.
class BusyCount {
public:
    enum Request : unsigned {
        kRefresh = 1,         // refresh by the tree's selection (F5, command 40056)
        kRefreshFull = 2,     // full refresh (Ctrl+F5, 40056 marked full)
        kSettingChange = 4,   // WM_SETTINGCHANGE
        kSelection = 8,       // the tree's selection changed (timer 1, TVN_SELCHANGED)
        kClose = 16,          // WM_CLOSE, Quit
    };

    // What to run once the count is back to 0.
    struct Plan {
        bool bClose = false;          // save and close; nothing else runs
        bool bSettingChange = false;  // new fonts and a full refresh
        bool bRefreshFull = false;
        bool bRefresh = false;        // by the selection (only without a full one)
        bool bSelection = false;      // only when no refresh runs (a refresh reloads the list)
    };

    BusyCount() : nCount(0), nPending(0) {}

    void Begin() { ++nCount; }
    // Returns the held-back requests when the count reaches 0 (and forgets them), else 0.
    unsigned End();
    bool IsBusy() const { return nCount > 0; }
    int Count() const { return nCount; }
    // While busy: remembers the request and returns true; otherwise false (run it now).
    bool Defer(Request request);
    unsigned Pending() const { return nPending; }

    static Plan MakePlan(unsigned requests);

private:
    int nCount;
    unsigned nPending;
};

// Who holds a busy count: BeginBusy counts up; EndBusy counts down and runs
// what was held back once the count is 0.
class BusyHolder {
public:
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;

protected:
    ~BusyHolder() = default;
};

// Holds a busy count for its lifetime.
class BusyScope {
public:
    explicit BusyScope(BusyHolder& holder) : holder(holder) { holder.BeginBusy(); }
    ~BusyScope() { holder.EndBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BusyHolder& holder;
};
