// The Options dialog in the real program: its pages, what OK applies at once
// and what it saves, what Cancel leaves alone, the plug-in and launcher lists.
#include "E2eTest.h"

#include "RemoteBuffer.h"

namespace {

const char kFrameClass[] = "TarnwickMainFrameWndClass";
const char kTitle[] = "Tarnwick 2.6";
const char kQuiet[] = "--nosplash --priority-normal";

struct PageInfo {
    int command;
    const char* text;
    const char* tag;
};
const PageInfo kPages[7] = {
    {40057, "View", "view"},           {40058, "Columns", "columns"}, {40059, "Colors & Formats", "colors"},
    {40060, "Copy", "copy"},           {40072, "Applications", "applications"},
    {40084, "Plugins", "plugins"},     {40097, "Internet Search", "search"},
};

// The open Options dialog of the program.
struct Options {
    Dialog dialog;
    Window Tree() const { return dialog.Control(1006); }
    Window Header() const { return dialog.Control(1008); }
    // The page (a child dialog) that holds a control.
    Window PageOf(int controlId) const
    {
        for (const DialogControl& control : dialog.Controls())
            if (control.id == controlId) return control.window.Parent();
        return Window();
    }
    Window Control(int id) const
    {
        for (const DialogControl& control : dialog.Controls())
            if (control.id == id) return control.window;
        return Window();
    }
    std::string SelectedItem() const
    {
        RemoteTreeView tree(Tree());
        return tree.Text(tree.Selection());
    }
};

Options OpenOptions(const Window& frame, int command, DWORD pid)
{
    frame.PostCommand(command);
    return Options{Dialog::WaitFor("Options", pid)};
}

} // namespace

TEST_SUITE("options") {

TEST_CASE("options: every page from its command, the tree, the header, a look at each")
{
    Program::RemoveSettings();
    Program app;
    REQUIRE(app.Start(kQuiet));
    const Window frame = app.WaitForWindow(kFrameClass, kTitle, 15000);
    REQUIRE(frame);
    for (const PageInfo& page : kPages) {
        CAPTURE(page.text);
        Options options = OpenOptions(frame, page.command, app.Pid());
        REQUIRE(options.dialog);
        CHECK(options.SelectedItem() == page.text);
        CHECK(options.Header().Text() == page.text);
        Screenshot::SaveDesktop(page.tag);
        CHECK(options.dialog.Dismiss());
    }
    CHECK(app.Close());
}

} // TEST_SUITE
