#pragma once

#include "tests/e2e/Window.h"

#include <string>
#include <vector>

// One control of a dialog, as read from its process.
struct DialogControl {
    Window window;
    int id = 0;
    std::string className;
    std::string text;
    bool visible = false;
    bool enabled = false;
};

// A dialog or message box (class "#32770") of another process.
class Dialog {
public:
    Dialog() = default;
    explicit Dialog(const Window& window) : wDialog(window) {}

    // Waits for a visible dialog with this caption (of this process when pid
    // is not 0). The dialog counts as expected: the message-box guard leaves it
    // to the test. An empty Dialog when none came in time.
    static Dialog WaitFor(const std::string& caption, DWORD pid = 0, DWORD timeoutMs = 10000);
    static Dialog Find(const std::string& caption, DWORD pid = 0);

    explicit operator bool() const { return static_cast<bool>(wDialog); }
    const Window& GetWindow() const { return wDialog; }
    std::string Caption() const { return wDialog.Text(); }

    // All controls, nested ones included, in window order.
    std::vector<DialogControl> Controls() const;
    Window Control(int id) const { return wDialog.Child(id); }
    std::string ControlText(int id) const { return Control(id).Text(); }
    bool SetControlText(int id, const std::string& text) const { return Control(id).SetText(text); }
    // The text of a message box (its static 0xFFFF), else all static texts joined by "\n".
    std::string MessageText() const;
    // Texts of the push buttons, '&' removed, in window order.
    std::vector<std::string> ButtonTexts() const;

    // Presses a button (BM_CLICK) if it exists and is enabled.
    bool Press(int id) const;
    // Presses the button with this text ('&' ignored, case-insensitive).
    bool PressButton(const std::string& text) const;
    // Cancel (or OK for a box without Cancel), then waits until it is gone.
    bool Dismiss(DWORD timeoutMs = 5000) const;
    bool WaitGone(DWORD timeoutMs = 5000) const { return wDialog.WaitGone(timeoutMs); }

private:
    Window wDialog;
};
