/* A waiting process with a version resource and an icon, as real programs
   have: refresh-bench starts many copies of it.
     bench-helper EVENT    signals EVENT, then sleeps until it is ended */
#include <windows.h>

int main(int argc, char** argv)
{
    HANDLE ready;
    if (argc < 2) return 2;
    ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
    if (!ready) return 3;
    SetEvent(ready);
    CloseHandle(ready);
    Sleep(600000);
    return 0;
}
