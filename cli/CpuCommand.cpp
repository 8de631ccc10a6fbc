#include "CliCommands.h"

#include "../app/CpuUsageSampler.h"

#include <windows.h>

#include <cstdio>

namespace {

const char kSinkClass[] = "TarnwickCliCpuSink";
const UINT kSampleMessage = WM_USER + 1;

// What the hidden receiving window has been told.
struct SampleSink {
    unsigned long nWanted;
    unsigned long nReceived;
};

LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    SampleSink* sink = reinterpret_cast<SampleSink*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kSampleMessage && sink) {
        if (sink->nReceived < sink->nWanted) {
            std::printf("%lu\n", static_cast<unsigned long>(lParam));
            std::fflush(stdout);
            ++sink->nReceived;
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool ParseCount(const std::string& text, unsigned long& count)
{
    if (text.empty() || text.size() > 9) return false;
    count = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        count = count * 10 + static_cast<unsigned long>(c - '0');
    }
    return count > 0;
}

} // namespace

int CliCommands::Cpu(const Args& args)
{
    SampleSink sink = {5, 0};
    if (args.size() > 1) return UsageError("'cpu' takes at most one argument: COUNT");
    if (args.size() == 1 && !ParseCount(args[0], sink.nWanted))
        return UsageError("COUNT must be a whole number from 1 to 999999999");

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = SinkProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kSinkClass;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, kSinkClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), &sink);
    if (!window) {
        std::fprintf(stderr, "tarnwick-cli: cannot create the receiving window\n");
        return 1;
    }

    CpuUsageSampler sampler;
    HANDLE thread = nullptr;
    if (!sampler.Start(window, kSampleMessage, &thread)) {
        DestroyWindow(window);
        std::fprintf(stderr, "tarnwick-cli: cannot start the sampler\n");
        return 1;
    }
    std::printf("Usage\n");
    std::fflush(stdout);

    bool threadEnded = false;
    while (sink.nReceived < sink.nWanted && !threadEnded) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
        MSG message;
        // Sent values are delivered inside PeekMessage.
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        if (woken != WAIT_OBJECT_0 + 1) threadEnded = true;
    }
    sampler.Stop();
    DestroyWindow(window);
    if (sink.nReceived < sink.nWanted) {
        std::fprintf(stderr, "tarnwick-cli: the sampler ended after %lu of %lu values\n", sink.nReceived,
                     sink.nWanted);
        return 1;
    }
    return 0;
}
