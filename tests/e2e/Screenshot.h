#pragma once

#include <string>

class ScreenImage;

// PNG files in the run's screenshot folder (build/e2e/VER/screenshots/),
// named "<test case>-<tag>.png".
class Screenshot {
public:
    // Saves the whole virtual desktop; returns the file's Windows path ("" on failure).
    static std::string SaveDesktop(const std::string& tag);
    // The desktop as it is this moment, nothing waited for (when a program may hang).
    static std::string SaveDesktopNow(const std::string& tag);
    static std::string Save(const ScreenImage& image, const std::string& tag);
    static std::string PathFor(const std::string& tag);
};
