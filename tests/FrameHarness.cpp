#include "tests/FrameHarness.h"

#include "tests/HelperProcess.h"

#include <fstream>

namespace frametest {

void Pump(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

std::string WindowText(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string ClassOf(HWND window)
{
    char name[128] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string TreeText(HWND tree, HTREEITEM item)
{
    char text[260] = {};
    TVITEMA query = {};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof(text);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    return text;
}

HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT how)
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

int CountBelow(HWND tree, HTREEITEM parent)
{
    int count = 0;
    for (HTREEITEM child = TreeNext(tree, parent, TVGN_CHILD); child; child = TreeNext(tree, child, TVGN_NEXT))
        count += 1 + CountBelow(tree, child);
    return count;
}

std::string StatusText(HWND frame)
{
    HWND status = GetDlgItem(frame, 305);
    char text[1024] = {};
    SendMessageA(status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

LPARAM ListParam(HWND list, int index)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

std::string CellText(HWND list, int row, int column)
{
    char text[1024] = {};
    LVITEMA cell = {};
    cell.iSubItem = column;
    cell.pszText = text;
    cell.cchTextMax = sizeof(text);
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
    return text;
}

// Tab-separated lines of the console tool, without the header.
std::vector<std::vector<std::string>> ConsoleRows(const std::string& arguments)
{
    std::string out;
    DWORD exitCode = 1;
    std::vector<std::vector<std::string>> rows;
    if (!RunAndCapture(ConsoleTool() + " " + arguments, out, exitCode) || exitCode != 0) return rows;
    size_t start = out.find('\n');
    while (start != std::string::npos && start + 1 < out.size()) {
        const size_t end = out.find('\n', start + 1);
        const std::string line = out.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
        std::vector<std::string> fields;
        size_t from = 0, tab;
        while ((tab = line.find('\t', from)) != std::string::npos) {
            fields.push_back(line.substr(from, tab - from));
            from = tab + 1;
        }
        fields.push_back(line.substr(from));
        rows.push_back(fields);
        start = end;
    }
    return rows;
}

RECT ClientRectOf(HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace frametest
