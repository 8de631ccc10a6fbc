#include "tests/e2e/Dialog.h"

#include "tests/e2e/BoxGuard.h"
#include "tests/e2e/Desktop.h"

namespace {
std::string WithoutAmpersands(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&') continue;
        if (text[i] == '&') ++i;
        out += text[i];
    }
    return out;
}

bool IsPushButton(const Window& window)
{
    if (lstrcmpiA(window.ClassName().c_str(), "Button") != 0) return false;
    const DWORD type = window.Style() & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}
} // namespace

Dialog Dialog::Find(const std::string& caption, DWORD pid)
{
    return Dialog(Desktop::Find(WindowQuery("#32770", caption, pid)));
}

Dialog Dialog::WaitFor(const std::string& caption, DWORD pid, DWORD timeoutMs)
{
    BoxGuard::Expect expected(caption);
    Window found = Desktop::WaitFor(WindowQuery("#32770", caption, pid), timeoutMs);
    if (found) BoxGuard::Accept(found);
    return Dialog(found);
}

std::vector<DialogControl> Dialog::Controls() const
{
    std::vector<DialogControl> controls;
    for (const Window& child : wDialog.Children(true)) {
        DialogControl control;
        control.window = child;
        control.id = child.Id();
        control.className = child.ClassName();
        control.text = child.Text();
        control.visible = child.IsVisible();
        control.enabled = child.IsEnabled();
        controls.push_back(control);
    }
    return controls;
}

std::string Dialog::MessageText() const
{
    const Window text = wDialog.Child(0xFFFF);
    if (text && lstrcmpiA(text.ClassName().c_str(), "Static") == 0) return text.Text();
    std::string all;
    for (const Window& child : wDialog.Children(true)) {
        if (lstrcmpiA(child.ClassName().c_str(), "Static") != 0) continue;
        const std::string piece = child.Text();
        if (piece.empty()) continue;
        if (!all.empty()) all += "\n";
        all += piece;
    }
    return all;
}

std::vector<std::string> Dialog::ButtonTexts() const
{
    std::vector<std::string> texts;
    for (const Window& child : wDialog.Children(true))
        if (IsPushButton(child)) texts.push_back(WithoutAmpersands(child.Text()));
    return texts;
}

bool Dialog::Press(int id) const
{
    const Window button = Control(id);
    if (!button || !button.IsEnabled()) return false;
    return button.Click();
}

bool Dialog::PressButton(const std::string& text) const
{
    for (const Window& child : wDialog.Children(true))
        if (IsPushButton(child) && lstrcmpiA(WithoutAmpersands(child.Text()).c_str(), text.c_str()) == 0)
            return child.IsEnabled() && child.Click();
    return false;
}

bool Dialog::Dismiss(DWORD timeoutMs) const
{
    if (!wDialog) return true;
    if (Control(IDCANCEL)) wDialog.PostCommand(IDCANCEL);
    else if (Control(IDOK)) wDialog.PostCommand(IDOK);
    else wDialog.Close();
    return WaitGone(timeoutMs);
}
