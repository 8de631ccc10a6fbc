#include "tests/e2e/Clipboard.h"

#include "tests/e2e/Wait.h"

#include <windows.h>
#include <cstring>

bool Clipboard::Open()
{
    // Another process may hold it for a moment.
    return Wait::Until([] { return OpenClipboard(nullptr) != FALSE; }, 3000, 20);
}

std::string Clipboard::Text()
{
    if (!Open()) return std::string();
    std::string text;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data) {
        const char* pointer = static_cast<const char*>(GlobalLock(data));
        if (pointer) {
            text.assign(pointer, strnlen(pointer, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool Clipboard::HasText()
{
    return IsClipboardFormatAvailable(CF_TEXT) != FALSE;
}

bool Clipboard::SetText(const std::string& text)
{
    if (!Open()) return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool done = false;
    if (memory) {
        char* pointer = static_cast<char*>(GlobalLock(memory));
        std::memcpy(pointer, text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        done = SetClipboardData(CF_TEXT, memory) != nullptr;
        if (!done) GlobalFree(memory);
    }
    CloseClipboard();
    return done;
}

bool Clipboard::Clear()
{
    if (!Open()) return false;
    const bool done = EmptyClipboard() != FALSE;
    CloseClipboard();
    return done;
}

bool Clipboard::WaitForText(unsigned long timeoutMs)
{
    return Wait::Until([] { return HasText() && !Text().empty(); }, timeoutMs);
}
