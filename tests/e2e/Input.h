#pragma once

#include "tests/e2e/Window.h"

#include <string>

// Keyboard and mouse input as a user gives it (SendInput): it goes to the
// foreground window's focused control, so Focus() or Activate() first. The
// target handles input asynchronously: wait for its effect afterwards.
class Input {
public:
    enum Button { Left, Right, Middle };
    enum Modifier { None = 0, Shift = 1, Ctrl = 2, Alt = 4 };

    // Brings the window's top-level window to the foreground (AttachThreadInput
    // to its thread, SetForegroundWindow); true once it is the foreground.
    static bool Activate(const Window& window);
    // Activates the top-level window and gives the control the keyboard focus.
    static bool Focus(const Window& control);
    // The control that has the focus in the thread of the given window.
    static Window FocusOf(const Window& window);

    static void KeyDown(WORD vk);
    static void KeyUp(WORD vk);
    static void Key(WORD vk, int modifiers = None);
    // A key chord by name: "F5", "Ctrl+F5", "Alt+1", "Shift+Tab", "Down",
    // "Enter", "Esc", "Delete", "a", ... false for an unknown name.
    static bool Keys(const std::string& chord);
    // Types text character by character (VkKeyScan).
    static void Type(const std::string& text);

    // Mouse at a point in the window's client coordinates. Activates the
    // top-level window first; false when another window covers the point.
    static bool Click(const Window& window, POINT clientPoint, Button button = Left, bool twice = false);
    static bool ClickCenter(const Window& window, Button button = Left, bool twice = false);
    static bool MoveTo(const Window& window, POINT clientPoint);
    // Press at one point, move in steps, release at another (same window's coordinates).
    static bool Drag(const Window& window, POINT from, POINT to, Button button = Left);

private:
    static void SendKey(WORD vk, bool up);
    static void SendMouse(DWORD flags, POINT screenPoint);
    static void SendButton(Button button, bool up, POINT screenPoint);
    static bool MovePointer(POINT screenPoint);
    static bool PointReaches(const Window& window, POINT screenPoint);
};
