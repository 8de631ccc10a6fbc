#pragma once

// Everything an end-to-end test file needs: doctest, the driver, and doctest
// printing of the driver's lists.
#include <doctest/doctest.h>

#include "tests/e2e/BoxGuard.h"
#include "tests/e2e/Clipboard.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/Dialog.h"
#include "tests/e2e/E2eLog.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/HelperProgram.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/Program.h"
#include "tests/e2e/RemoteHeader.h"
#include "tests/e2e/RemoteListBox.h"
#include "tests/e2e/RemoteListView.h"
#include "tests/e2e/RemoteStatusBar.h"
#include "tests/e2e/RemoteToolbar.h"
#include "tests/e2e/RemoteTreeView.h"
#include "tests/e2e/ScreenImage.h"
#include "tests/e2e/Screenshot.h"
#include "tests/e2e/Wait.h"
#include "tests/e2e/Window.h"
#include "tests/e2e/WindowDump.h"

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
