// Console program for the pipe-runner tests:
//   tw-console both N        N bytes of lines on stdout and on stderr, then end markers
//   tw-console slow EVENT    "first", waits for EVENT, then "last"
//   tw-console instant       one line, exits at once
//   tw-console endless       "tick", then waits forever
//   tw-console stdin         reads standard input to its end, prints "read N"
//   tw-console grandchild    starts "tw-console sleep 8000" (inheriting the pipes),
//                            prints "parent done PID" and exits
//   tw-console sleep MS
//   tw-console text          LF-only lines, a NUL, a byte of the console code page
//   tw-console args ...      prints its command line and current folder
//   tw-console flood MB      MB megabytes of numbered 64-byte lines, then "flood done"
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Write(DWORD which, const std::string& text)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(which), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string Lines(size_t total, char tag)
{
    std::string out;
    out.reserve(total);
    for (unsigned line = 0; out.size() < total; ++line) {
        char text[64];
        std::snprintf(text, sizeof(text), "%c%07u abcdefghijklmnopqrstuvwxyz\n", tag, line);
        out += text;
    }
    out.resize(total);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    const std::string mode = argv[1];
    if (mode == "both" && argc > 2) {
        const size_t total = std::strtoul(argv[2], nullptr, 10);
        const std::string out = Lines(total, 'o'), err = Lines(total, 'e');
        for (size_t i = 0; i < total; i += 8192) {
            Write(STD_OUTPUT_HANDLE, out.substr(i, 8192));
            Write(STD_ERROR_HANDLE, err.substr(i, 8192));
        }
        Write(STD_OUTPUT_HANDLE, "END-OUT\n");
        Write(STD_ERROR_HANDLE, "END-ERR\n");
        return 0;
    }
    if (mode == "slow" && argc > 2) {
        Write(STD_OUTPUT_HANDLE, "first\n");
        HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
        if (!event) return 3;
        WaitForSingleObject(event, 30000);
        Write(STD_OUTPUT_HANDLE, "last\n");
        return 0;
    }
    if (mode == "instant") {
        Write(STD_OUTPUT_HANDLE, "x\n");
        return 0;
    }
    if (mode == "endless") {
        Write(STD_OUTPUT_HANDLE, "tick\n");
        Sleep(INFINITE);
        return 0;
    }
    if (mode == "stdin") {
        char buffer[256];
        DWORD got = 0;
        unsigned long total = 0;
        while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof(buffer), &got, nullptr) && got) total += got;
        char text[64];
        std::snprintf(text, sizeof(text), "read %lu\n", total);
        Write(STD_OUTPUT_HANDLE, text);
        return 0;
    }
    if (mode == "grandchild") {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string line = std::string("\"") + self + "\" sleep 8000";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION child = {};
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child))
            return 4;
        char text[64];
        std::snprintf(text, sizeof(text), "parent done %lu\n", child.dwProcessId);
        Write(STD_OUTPUT_HANDLE, text);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        return 0;
    }
    if (mode == "sleep" && argc > 2) {
        Sleep(std::strtoul(argv[2], nullptr, 10));
        return 0;
    }
    if (mode == "text") {
        static const char kText[] = "one\ntwo\r\nnul[\0]\n\x81\n";
        Write(STD_OUTPUT_HANDLE, std::string(kText, sizeof(kText) - 1));
        return 0;
    }
    if (mode == "flood" && argc > 2) {
        const unsigned long lines = std::strtoul(argv[2], nullptr, 10) * (1024 * 1024 / 64);
        std::string block;
        for (unsigned long line = 0; line < lines;) {
            block.clear();
            for (int i = 0; i < 1024 && line < lines; ++i, ++line) {
                char text[80];
                std::snprintf(text, sizeof(text), "line %010lu %047lu\n", line, line);
                block += text;
            }
            Write(STD_OUTPUT_HANDLE, block);
        }
        Write(STD_OUTPUT_HANDLE, "flood done\n");
        return 0;
    }
    if (mode == "args") {
        char folder[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, folder);
        Write(STD_OUTPUT_HANDLE, std::string(GetCommandLineA()) + "\n" + folder + "\n");
        return 0;
    }
    return 2;
}
