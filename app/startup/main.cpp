// Entry point of tarnwick.exe.
#include "app/startup/ClSplashScreen.h"
#include "app/startup/CommandLineSwitches.h"
#include "app/startup/TarnwickApp.h"
#include "app/mainframe/TarnwickMainFrame.h"
#include "app/res/resource.h"
#include "gdiutils/Orvo_GdiUtilities.h"
#include "sysinfo/IMAGEHELPWrapper.h"
#include "sysinfo/WTSWrapper.h"

#include <cstring>

namespace {
// Lives for the whole run: the splash thread may outlast the entry function's work.
SplashDescriptor g_splash;
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    IMAGEHELPWrapper imageHelp;
    WTSWrapper terminalServices;
    const CommandLineSwitches switches(commandLine);

    if (!switches.bPriorityNormal) SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);

    if (!switches.bNoSplash) {
        g_splash.hBitmap = LoadPaletteBitmap(instance, MAKEINTRESOURCEA(IDB_SPLASH));
        BITMAP picture = {};
        if (g_splash.hBitmap && GetObjectA(g_splash.hBitmap, sizeof(picture), &picture)) {
            g_splash.nWidth = picture.bmWidth;
            g_splash.nHeight = picture.bmHeight;
        }
        g_splash.hInstance = instance;
        g_splash.pszTemplate = "ClSplashScreen";
        std::strcpy(g_splash.szFrameClass, TarnwickMainFrame::kClassName);
        std::strcpy(g_splash.szFrameTitle, TarnwickApp::kTitle);
        g_splash.dwDisplayTime = 3000;
        ClSplashScreen::Start(g_splash);
    }

    int exitCode;
    {
        TarnwickApp app(instance, switches);
        exitCode = app.RunAll();
    }
    return exitCode;
}
