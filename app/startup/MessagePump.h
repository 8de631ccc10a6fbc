#pragma once

#include <windows.h>

// Lets pending window messages run in the middle of long work on the user
// interface thread. Unlike a plain peek loop it keeps a WM_QUIT for the
// message loop that owns it.
class MessagePump {
public:
    // `dialog` (may be null) sees each message first, for its keyboard
    // handling. False when a WM_QUIT arrived (it is posted again).
    static bool Pump(HWND dialog = nullptr);
};
