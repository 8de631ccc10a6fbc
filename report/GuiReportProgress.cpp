#include "report/GuiReportProgress.h"

#include "app/startup/MessagePump.h"
#include "app/menus/StringTable.h"

#include <shellapi.h>

GuiReportProgress::GuiReportProgress(HWND mainWindow) : hMainWindow(mainWindow), bStarted(false) {}

GuiReportProgress::~GuiReportProgress()
{
    if (bStarted) End();
}

void GuiReportProgress::Begin()
{
    bStarted = true;
    if (hMainWindow) EnableWindow(hMainWindow, FALSE);
    dialog.Create(hMainWindow);
}

void GuiReportProgress::End()
{
    bStarted = false;
    // Enabled first, so that the main window, not another program, is
    // activated when its owned window goes.
    if (hMainWindow) EnableWindow(hMainWindow, TRUE);
    dialog.Destroy();
}

void GuiReportProgress::SetRange(int bar, uint32_t minimum, uint32_t maximum)
{
    dialog.SetRange(bar, minimum, maximum);
}

void GuiReportProgress::SetStep(int bar, uint32_t step)
{
    dialog.SetStep(bar, step);
}

void GuiReportProgress::SetPosition(int bar, uint32_t position)
{
    dialog.SetPosition(bar, position);
}

void GuiReportProgress::Step(int bar)
{
    dialog.Step(bar);
}

void GuiReportProgress::SetProcessText(const std::string& text)
{
    dialog.SetProcessText(text);
}

void GuiReportProgress::SetModuleText(const std::string& text)
{
    dialog.SetModuleText(text);
}

void GuiReportProgress::Pump()
{
    MessagePump::Pump(dialog.GetHwnd());
}

bool GuiReportProgress::IsAborted() const
{
    return dialog.IsAborted();
}

void GuiReportProgress::ShowError(const std::string& text)
{
    MessageBoxA(hMainWindow, text.c_str(), StringTable::LoadOwn(1).c_str(), MB_OK | MB_ICONHAND);
}

void GuiReportProgress::OpenDocument(const std::string& path)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.hwnd = hMainWindow;
    info.lpVerb = "open";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}
