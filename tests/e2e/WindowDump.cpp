#include "tests/e2e/WindowDump.h"

#include "tests/e2e/Desktop.h"
#include "tests/e2e/E2eLog.h"
#include "tests/e2e/RemoteHeader.h"
#include "tests/e2e/RemoteListBox.h"
#include "tests/e2e/RemoteListView.h"
#include "tests/e2e/RemoteStatusBar.h"
#include "tests/e2e/RemoteToolbar.h"
#include "tests/e2e/RemoteTreeView.h"

#include <cstdlib>

namespace {
const int kMaxRows = 400;

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

bool Has(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

std::string Indent(int depth)
{
    return std::string(static_cast<size_t>(depth) * 2, ' ');
}

std::string Joined(const std::vector<std::string>& texts, const char* separator = " | ")
{
    std::string out;
    for (size_t i = 0; i < texts.size(); ++i) out += (i ? separator : "") + texts[i];
    return out;
}

std::string RectText(const RECT& rect)
{
    return Format("(%ld,%ld)-(%ld,%ld)", rect.left, rect.top, rect.right, rect.bottom);
}
} // namespace

void WindowDump::AddTree(std::string& out, const Window& tree, int depth)
{
    const std::vector<TreeItem> items = RemoteTreeView(tree).Items();
    out += Indent(depth) + Format("tree: %u items\n", static_cast<unsigned>(items.size()));
    for (const TreeItem& item : items) {
        out += Indent(depth + 1 + item.level) + "\"" + item.text + "\"";
        out += Format(" image=%d/%d", item.image, item.selectedImage);
        if (item.hasChildren) out += item.expanded ? " expanded" : " collapsed";
        if (item.selected) out += " SELECTED";
        out += "\n";
    }
}

void WindowDump::AddHeader(std::string& out, const Window& header, int depth)
{
    out += Indent(depth) + "header (display order):";
    for (const HeaderItem& item : RemoteHeader(header).Items()) {
        out += Format(" [%d] \"%s\" w=%d", item.index, item.text.c_str(), item.width);
        if (item.SortArrow()) out += item.SortArrow() > 0 ? " ^" : " v";
        if (item.HasBitmap()) out += " bitmap";
    }
    out += "\n";
}

void WindowDump::AddList(std::string& out, const Window& list, int depth)
{
    RemoteListView view(list);
    const Window header = view.Header();
    if (header) AddHeader(out, header, depth);
    const std::vector<ListRow> rows = view.Rows();
    out += Indent(depth) + Format("list: %u rows, %d selected\n", static_cast<unsigned>(rows.size()),
                                  view.SelectedCount());
    for (size_t i = 0; i < rows.size() && static_cast<int>(i) < kMaxRows; ++i) {
        const ListRow& row = rows[i];
        out += Indent(depth + 1) + Format("%u: ", static_cast<unsigned>(i)) + Joined(row.texts);
        out += Format("  [image=%d indent=%d%s%s]\n", row.image, row.indent, row.selected ? " selected" : "",
                      row.focused ? " focused" : "");
    }
    if (static_cast<int>(rows.size()) > kMaxRows) out += Indent(depth + 1) + "...\n";
}

void WindowDump::AddStatus(std::string& out, const Window& bar, int depth)
{
    RemoteStatusBar status(bar);
    const std::vector<int> edges = status.PartEdges();
    out += Indent(depth) + Format("status: %d parts%s\n", status.Parts(), status.IsSimple() ? " (simple)" : "");
    for (int part = 0; part < status.Parts(); ++part) {
        out += Indent(depth + 1) + Format("part %d (to %d): \"%s\"", part,
                                          part < static_cast<int>(edges.size()) ? edges[part] : 0,
                                          status.Text(part).c_str());
        const std::string tip = status.Tip(part);
        if (!tip.empty()) out += " tip \"" + tip + "\"";
        out += "\n";
    }
}

void WindowDump::AddListBox(std::string& out, const Window& box, int depth)
{
    RemoteListBox list(box);
    out += Indent(depth) + Format("items: %d, selection %d\n", list.Count(), list.Selection());
    const std::vector<std::string> texts = list.Texts();
    for (size_t i = 0; i < texts.size() && static_cast<int>(i) < kMaxRows; ++i)
        out += Indent(depth + 1) + "\"" + texts[i] + "\"\n";
}

void WindowDump::AddToolbar(std::string& out, const Window& toolbar, int depth)
{
    out += Indent(depth) + "buttons:";
    for (const ToolbarButton& button : RemoteToolbar(toolbar).Buttons()) {
        if (button.IsSeparator()) {
            out += " |";
            continue;
        }
        out += Format(" [%d \"%s\"%s%s%s]", button.id, button.text.c_str(), button.IsEnabled() ? "" : " disabled",
                      button.IsChecked() ? " checked" : "", button.IsHidden() ? " hidden" : "");
    }
    out += "\n";
}

void WindowDump::Add(std::string& out, const Window& window, int depth)
{
    const std::string cls = window.ClassName();
    const std::string lower = Lower(cls);
    out += Indent(depth) + window.Describe();
    out += " " + RectText(window.Rect());
    out += window.IsVisible() ? "" : " hidden";
    out += window.IsEnabled() ? "" : " disabled";
    if (lower == "button") {
        const DWORD type = window.Style() & BS_TYPEMASK;
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON
            || type == BS_3STATE || type == BS_AUTO3STATE)
            out += Format(" check=%d", window.CheckState());
    }
    out += "\n";

    bool described = true;
    if (Has(lower, "treeview")) AddTree(out, window, depth + 1);
    else if (Has(lower, "listview") || Has(lower, "gridview")) AddList(out, window, depth + 1);
    else if (lower == "msctls_statusbar32") AddStatus(out, window, depth + 1);
    else if (lower == "listbox" || lower == "combobox" || lower == "combolbox") AddListBox(out, window, depth + 1);
    else if (lower == "sysheader32") AddHeader(out, window, depth + 1);
    else if (lower == "toolbarwindow32") AddToolbar(out, window, depth + 1);
    else described = false;

    for (const Window& child : window.Children()) {
        // A list view's header is shown with the list.
        if (described && Lower(child.ClassName()) == "sysheader32") continue;
        Add(out, child, depth + 1);
    }
}

std::string WindowDump::Describe(const Window& window)
{
    std::string out;
    if (!window) return out;
    out += Format("pid %lu, thread %lu\n", static_cast<unsigned long>(window.Pid()),
                  static_cast<unsigned long>(window.ThreadId()));
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(window.Handle(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored))
        out += window.Describe() + " (not responding)\n";
    else
        Add(out, window, 0);
    return out;
}

std::string WindowDump::DescribeMatching(const std::string& pidOrTitle)
{
    WindowQuery query;
    char* end = nullptr;
    const unsigned long pid = pidOrTitle.empty() ? 0 : std::strtoul(pidOrTitle.c_str(), &end, 0);
    const bool byPid = !pidOrTitle.empty() && end && *end == '\0';
    if (byPid) query.pid = pid;
    std::string out;
    for (const Window& window : Desktop::TopLevel(query)) {
        if (!byPid && !pidOrTitle.empty() && window.Text().find(pidOrTitle) == std::string::npos) continue;
        out += Describe(window) + "\n";
    }
    return out;
}
