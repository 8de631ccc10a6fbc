#include "cli/ConsoleReportProgress.h"

#include "cli/CliError.h"

#include <windows.h>
#include <cstdio>

namespace {
volatile LONG g_aborted = 0;

BOOL WINAPI OnConsoleControl(DWORD event)
{
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        InterlockedExchange(&g_aborted, 1);
        return TRUE;
    }
    return FALSE;
}
} // namespace

ConsoleReportProgress::ConsoleReportProgress() : maximum{0, 0}, position{0, 0}, step{1, 1}, shown(false)
{
    InterlockedExchange(&g_aborted, 0);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

ConsoleReportProgress::~ConsoleReportProgress()
{
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
}

void ConsoleReportProgress::Show()
{
    std::fprintf(stderr, "\r[%lu/%lu] %s: module %lu/%lu   ", static_cast<unsigned long>(position[0]),
                 static_cast<unsigned long>(maximum[0]), process.c_str(), static_cast<unsigned long>(position[1]),
                 static_cast<unsigned long>(maximum[1]));
    shown = true;
}

void ConsoleReportProgress::End()
{
    if (shown) std::fputs("\n", stderr);
}

void ConsoleReportProgress::SetRange(int bar, uint32_t, uint32_t max)
{
    maximum[bar & 1] = max;
}

void ConsoleReportProgress::SetStep(int bar, uint32_t value)
{
    step[bar & 1] = value;
}

void ConsoleReportProgress::SetPosition(int bar, uint32_t value)
{
    position[bar & 1] = value;
}

void ConsoleReportProgress::Step(int bar)
{
    position[bar & 1] += step[bar & 1];
    Show();
}

void ConsoleReportProgress::SetProcessText(const std::string& text)
{
    process = text;
}

void ConsoleReportProgress::SetModuleText(const std::string&) {}

bool ConsoleReportProgress::IsAborted() const
{
    return g_aborted != 0;
}

void ConsoleReportProgress::ShowError(const std::string& text)
{
    End();
    shown = false;
    std::string line = text;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    CliError::Failure(line);
}

void ConsoleReportProgress::ShowFileError(const std::string&, const std::string& path, unsigned long systemError)
{
    End();
    shown = false;
    CliError::FileFailure(path, "could not be written", systemError);
}
