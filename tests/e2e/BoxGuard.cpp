#include "tests/e2e/BoxGuard.h"

#include "tests/e2e/Desktop.h"
#include "tests/e2e/E2eLog.h"
#include "tests/e2e/Screenshot.h"

#include <algorithm>

BoxGuard::State& BoxGuard::Get()
{
    static State state;
    return state;
}

BoxGuard::Expect::Expect(const std::string& caption) : strCaption(caption)
{
    Get().expected.insert(strCaption);
}

BoxGuard::Expect::~Expect()
{
    State& state = Get();
    const auto it = state.expected.find(strCaption);
    if (it != state.expected.end()) state.expected.erase(it);
}

void BoxGuard::Accept(const Window& box)
{
    Get().accepted.insert(box.Handle());
}

void BoxGuard::Watch(const std::string& caption)
{
    State& state = Get();
    if (std::find(state.watched.begin(), state.watched.end(), caption) == state.watched.end())
        state.watched.push_back(caption);
}

std::vector<Window> BoxGuard::OpenBoxes()
{
    std::vector<Window> boxes;
    State& state = Get();
    WindowQuery query("#32770");
    for (const Window& window : Desktop::TopLevel(query)) {
        const std::string caption = window.Caption();
        if (std::find(state.watched.begin(), state.watched.end(), caption) != state.watched.end())
            boxes.push_back(window);
    }
    return boxes;
}

void BoxGuard::Dismiss(const Window& box)
{
    for (int id : {IDCANCEL, IDOK, IDNO, IDABORT}) {
        Window button = box.Child(id);
        if (button) {
            box.PostCommand(id);
            return;
        }
    }
    box.Close();
}

void BoxGuard::Check()
{
    State& state = Get();
    if (state.checking) return;
    state.checking = true;
    for (const Window& box : OpenBoxes()) {
        const HWND handle = box.Handle();
        if (state.accepted.count(handle) || state.reported.count(handle)) continue;
        const std::string caption = box.Caption();
        if (state.expected.count(caption)) continue;
        state.reported.insert(handle);
        ++state.nReported;
        std::string text;
        for (const Window& child : box.Children()) {
            const std::string cls = child.ClassName();
            const std::string piece = child.Caption();
            if (lstrcmpiA(cls.c_str(), "Static") == 0 && !piece.empty()) text += (text.empty() ? "" : " | ") + piece;
        }
        const std::string shot = Screenshot::SaveDesktop("unexpected-box");
        E2eLog::Fail(Format("unexpected message box \"%s\" (pid %lu): %s [%s]", caption.c_str(),
                            static_cast<unsigned long>(box.Pid()), text.c_str(), shot.c_str()));
        Dismiss(box);
    }
    // Forget handles of boxes that are gone (handles are reused).
    for (auto it = state.reported.begin(); it != state.reported.end();)
        it = IsWindow(*it) ? std::next(it) : state.reported.erase(it);
    for (auto it = state.accepted.begin(); it != state.accepted.end();)
        it = IsWindow(*it) ? std::next(it) : state.accepted.erase(it);
    state.checking = false;
}

int BoxGuard::Reset()
{
    State& state = Get();
    int closed = 0;
    for (const Window& box : OpenBoxes()) {
        Dismiss(box);
        ++closed;
    }
    state.expected.clear();
    state.accepted.clear();
    state.reported.clear();
    return closed;
}
