// tarnwick-cli cpu: the CPU graph's values as the sampler sends them.
#include "cli/CliCommands.h"
#include "cli/RecordValues.h"

#include "app/cpugraph/CpuUsageSampler.h"

#include <windows.h>

#include <cstdio>

namespace {

const char kSinkClass[] = "TarnwickCliCpuSink";
const UINT kSampleMessage = WM_USER + 1;

const RecordSchema kSchema = {
    "value, once a second",
    {
        {"sample", FieldType::Integer, "1 for the first value, and so on"},
        {"usage", FieldType::Integer, "processor time not spent idle in percent, summed over all processors "
                                      "(NT family); the raw KERNEL\\CPUUsage statistic on the 9x family, which "
                                      "may exceed 100"},
    },
    {}};

// What the hidden receiving window has been told, and where it goes.
struct SampleSink {
    unsigned long nWanted;
    unsigned long nReceived;
    RecordWriter* records;  // null: the table
};

LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    SampleSink* sink = reinterpret_cast<SampleSink*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kSampleMessage && sink) {
        if (sink->nReceived < sink->nWanted) {
            ++sink->nReceived;
            if (sink->records)
                sink->records->Write(Record().Number(sink->nReceived).Number(static_cast<unsigned long>(lParam)));
            else
                std::printf("%lu\n", static_cast<unsigned long>(lParam));
            std::fflush(stdout);
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

int Cpu(const CliArguments& arguments)
{
    SampleSink sink = {5, 0, nullptr};
    if (!arguments.Operands().empty() && !ParseCount(arguments.Operands()[0], sink.nWanted))
        return CliError::Usage("COUNT must be a whole number from 1 to 999999999, not '" + arguments.Operands()[0]
                               + "'");

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = SinkProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kSinkClass;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, kSinkClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), &sink);
    if (!window) return CliError::Failure("the receiving window could not be created: "
                                          + CliError::SystemMessage(GetLastError()));

    CpuUsageSampler sampler;
    HANDLE thread = nullptr;
    if (!sampler.Start(window, kSampleMessage, &thread)) {
        DestroyWindow(window);
        return CliError::Failure("the sampler could not be started");
    }
    RecordWriter records = RecordValues::Stdout(arguments.Format(), kSchema);
    if (arguments.Format() == RecordWriter::Table) {
        std::printf("Usage\n");
    } else {
        sink.records = &records;
        records.Begin();
    }
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
    if (sink.records) records.End();
    if (sink.nReceived < sink.nWanted)
        return CliError::Failure("the sampler ended after " + std::to_string(sink.nReceived) + " of "
                                 + std::to_string(sink.nWanted) + " values");
    return 0;
}

} // namespace

const CliCommand CliCommands::kCpu = {
    "cpu", "[COUNT]", "total processor usage once a second, as the CPU graph receives it",
    "COUNT values (default 5). The table is the header Usage and then each\n"
    "value, one line a second.\n"
    "\n"
    "Exit status 1 when the sampler ends before COUNT values (on the 9x family\n"
    "when the dynamic-data statistic is missing, as under Wine).\n",
    {}, &kSchema, 0, 1, Cpu};
