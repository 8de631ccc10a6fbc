#pragma once

#include "tests/e2e/Window.h"

#include <string>

// Everything the driver can read of a program's windows, as text: each
// top-level window with its child controls, tree items, list rows, headers,
// status bar parts, list boxes and texts. A debugging aid: tw-e2e.exe --dump,
// or in a test: MESSAGE(WindowDump::Describe(window)).
class WindowDump {
public:
    // One window and all below it.
    static std::string Describe(const Window& window);
    // The visible top-level windows matching: a pid (decimal or 0x...), else a
    // title substring; all visible top-level windows when empty.
    static std::string DescribeMatching(const std::string& pidOrTitle);

private:
    static void Add(std::string& out, const Window& window, int depth);
    static void AddTree(std::string& out, const Window& tree, int depth);
    static void AddList(std::string& out, const Window& list, int depth);
    static void AddHeader(std::string& out, const Window& header, int depth);
    static void AddStatus(std::string& out, const Window& bar, int depth);
    static void AddListBox(std::string& out, const Window& box, int depth);
    static void AddToolbar(std::string& out, const Window& toolbar, int depth);
};
