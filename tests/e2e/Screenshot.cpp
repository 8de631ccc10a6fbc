#include "tests/e2e/Screenshot.h"

#include "tests/e2e/E2eLog.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/ScreenImage.h"

#include <windows.h>

std::string Screenshot::PathFor(const std::string& tag)
{
    return E2ePaths::ScreenshotFolder() + E2eLog::TestCaseFileName() + "-" + tag + ".png";
}

std::string Screenshot::SaveDesktop(const std::string& tag)
{
    return Save(ScreenImage::CaptureDesktop(), tag);
}

std::string Screenshot::SaveDesktopNow(const std::string& tag)
{
    RECT desktop = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return Save(ScreenImage::CaptureNow(desktop), tag);
}

std::string Screenshot::Save(const ScreenImage& image, const std::string& tag)
{
    const std::string path = PathFor(tag);
    return image.SavePng(path) ? path : std::string();
}
