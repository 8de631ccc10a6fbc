#pragma once

#include "tests/e2e/Window.h"

#include <set>
#include <string>
#include <vector>

// Fails the test when a message box (or any dialog) captioned with one of the
// watched captions ("Tarnwick 2.6") shows up without a test waiting for it.
// Checked on every poll of Wait, by Program between steps and when a Program
// object ends. A reported box is closed (Cancel, else OK) so the run goes on.
class BoxGuard {
public:
    static void Check();
    // A box this test expects: not reported while the scope lives.
    class Expect {
    public:
        explicit Expect(const std::string& caption);
        ~Expect();
        Expect(const Expect&) = delete;
        Expect& operator=(const Expect&) = delete;

    private:
        std::string strCaption;
    };
    // A box that was waited for and handed to the test: never reported.
    static void Accept(const Window& box);
    static void Watch(const std::string& caption);
    // Closes every watched box still open (between test cases); returns how many.
    static int Reset();
    // How many boxes were reported in this run.
    static int ReportedCount() { return Get().nReported; }

private:
    struct State {
        std::vector<std::string> watched{"Tarnwick 2.6"};
        std::multiset<std::string> expected;
        std::set<HWND> accepted;
        std::set<HWND> reported;
        bool checking = false;
        int nReported = 0;
    };
    static State& Get();
    static std::vector<Window> OpenBoxes();
    static void Dismiss(const Window& box);
};
