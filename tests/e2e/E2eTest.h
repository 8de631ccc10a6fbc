#pragma once

// Everything an end-to-end test file needs: doctest, the driver, and doctest
// printing of the driver's lists.
#include <doctest/doctest.h>

#include "BoxGuard.h"
#include "Clipboard.h"
#include "Desktop.h"
#include "Dialog.h"
#include "E2eLog.h"
#include "E2ePaths.h"
#include "HelperProgram.h"
#include "Input.h"
#include "Program.h"
#include "RemoteHeader.h"
#include "RemoteListBox.h"
#include "RemoteListView.h"
#include "RemoteStatusBar.h"
#include "RemoteToolbar.h"
#include "RemoteTreeView.h"
#include "ScreenImage.h"
#include "Screenshot.h"
#include "Wait.h"
#include "Window.h"
#include "WindowDump.h"

#include <string>
#include <vector>

namespace doctest {
template <> struct StringMaker<std::vector<std::string>> {
    static String convert(const std::vector<std::string>& texts)
    {
        std::string out = "{";
        for (size_t i = 0; i < texts.size(); ++i) out += (i ? ", \"" : "\"") + texts[i] + "\"";
        return (out + "}").c_str();
    }
};
template <> struct StringMaker<std::vector<int>> {
    static String convert(const std::vector<int>& values)
    {
        std::string out = "{";
        for (size_t i = 0; i < values.size(); ++i) out += (i ? ", " : "") + std::to_string(values[i]);
        return (out + "}").c_str();
    }
};
} // namespace doctest
