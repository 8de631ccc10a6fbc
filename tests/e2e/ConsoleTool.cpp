#include "tests/e2e/ConsoleTool.h"

#include "tests/e2e/E2ePaths.h"

#include <windows.h>

std::string ConsoleTool::Output(const std::string& arguments)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return std::string();
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string line = "\"" + E2ePaths::ProgramPath("tarnwick-cli.exe") + "\" " + arguments;
    PROCESS_INFORMATION info = {};
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                                        nullptr, &startup, &info);
    CloseHandle(writeEnd);
    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (started && ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got) output.append(buffer, got);
    CloseHandle(readEnd);
    if (started) {
        WaitForSingleObject(info.hProcess, 30000);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    return output;
}

std::string ConsoleTool::Unescape(const std::string& field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char next = field[++i];
        out += next == 't' ? '\t' : next == 'r' ? '\r' : next == 'n' ? '\n' : next;
    }
    return out;
}

std::vector<std::vector<std::string>> ConsoleTool::Table(const std::string& output)
{
    std::vector<std::vector<std::string>> rows;
    size_t from = 0;
    while (from < output.size()) {
        size_t end = output.find('\n', from);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(from, end - from);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        from = end + 1;
        if (line.empty()) continue;
        std::vector<std::string> fields;
        size_t start = 0;
        for (;;) {
            const size_t tab = line.find('\t', start);
            fields.push_back(Unescape(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start)));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        rows.push_back(fields);
    }
    return rows;
}
