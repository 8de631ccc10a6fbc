#include <doctest/doctest.h>

#include "tests/TestPaths.h"
#include "TarnwickVersion.h"
#include "image/MappedImageFile.h"
#include "sysinfo/FileVersionInfo.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

namespace {

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Libraries every system of the 9x and NT families carries from the start.
const std::set<std::string> kAllowedDlls = {
    "kernel32.dll", "user32.dll",   "gdi32.dll",   "advapi32.dll", "comctl32.dll", "comdlg32.dll",
    "shell32.dll",  "msvcrt.dll",   "version.dll", "ole32.dll",    "winspool.drv", "orvosysutils.dll",
    "orvogdiutils.dll",
};

// Entry points of the allowed libraries that Windows 95 or NT 4 lack.
const std::set<std::string> kTooNew = {
    "GetLongPathNameA", "GetLongPathNameW", "IsDebuggerPresent", "CreateToolhelp32Snapshot",
    "Process32First", "Process32Next", "Module32First", "Module32Next", "Thread32First", "Thread32Next",
    "TrackMouseEvent", "GetTickCount64", "AddVectoredExceptionHandler", "RemoveVectoredExceptionHandler",
    "TryEnterCriticalSection", "InitializeCriticalSectionAndSpinCount", "InitializeCriticalSectionEx",
    "SetCriticalSectionSpinCount", "GetFileSizeEx", "SetFilePointerEx", "GetModuleHandleExA",
    "GetModuleHandleExW", "FlsAlloc", "FlsGetValue", "FlsSetValue", "FlsFree", "GetSystemTimePreciseAsFileTime",
    "GetSystemTimeAsFileTime_", "QueueUserAPC", "SwitchToThread", "GetUserDefaultUILanguage", "GetProcessId",
    "GetThreadId", "AttachConsole", "GetConsoleWindow", "IsWow64Process", "GetNativeSystemInfo",
    "GlobalMemoryStatusEx", "VerifyVersionInfoA", "VerSetConditionMask", "CreateWaitableTimerA",
    "SetWaitableTimer", "SignalObjectAndWait", "GetFileAttributesExA", "GetFileAttributesExW",
    "GetComboBoxInfo", "IsHungAppWindow", "GetMenuInfo", "SetMenuInfo", "AllowSetForegroundWindow", "LockSetForegroundWindow",
    "GetLayeredWindowAttributes", "SetLayeredWindowAttributes", "UpdateLayeredWindow", "PrintWindow",
    "GetGuiResources", "AnimateWindow", "GetAncestor", "RealGetWindowClassA", "GetWindowInfo",
    "GetTitleBarInfo", "GetCursorInfo", "MonitorFromWindow", "MonitorFromPoint", "GetMonitorInfoA",
    "EnumDisplayMonitors", "GradientFill", "AlphaBlend", "TransparentBlt", "GetDCBrushColor", "SetDCBrushColor",
    "GetDCPenColor", "SetDCPenColor", "WTSEnumerateProcessesA", "___lc_codepage_func", "___mb_cur_max_func",
    "_get_invalid_parameter_handler", "_set_invalid_parameter_handler", "_get_output_format",
    "_set_output_format", "_aligned_malloc", "_aligned_free", "_ftelli64",
    "_fseeki64", "_strtoi64", "_strtoui64", "_wcstoi64", "_vscprintf", "_vsnprintf_s", "sprintf_s",
    "strcpy_s", "strcat_s", "memcpy_s", "_localtime64", "_time64", "_mktime64", "_gmtime64",
};

std::string CheckBinary(const std::string& path)
{
    MappedImageFile file;
    file.open(path.c_str());
    if (!file.IsPE()) return path + ": not a PE image";
    std::string problems;
    uint16_t major = 0, minor = 0;
    if (!file.View().SubsystemVersion(major, minor) || major > 4 || (major == 4 && minor > 0))
        problems += path + ": subsystem version above 4.0\n";
    for (const ImportedModule& module : file.View().ReadImports()) {
        const std::string dll = Lower(module.strName);
        if (!kAllowedDlls.count(dll)) {
            problems += path + ": imports " + module.strName + "\n";
            continue;
        }
        for (const ImportedFunction& function : module.functions)
            if (kTooNew.count(function.strName))
                problems += path + ": imports " + module.strName + "!" + function.strName + "\n";
    }
    return problems;
}

// The binaries checked: those beside the test program, or those of the folder
// in TW_RELEASE_FOLDER (the unpacked release zip).
std::string ProductFolder()
{
    char folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("TW_RELEASE_FOLDER", folder, sizeof(folder));
    if (!length || length >= sizeof(folder)) return TestPaths::BinFolder();
    std::string path(folder);
    if (path.back() != '\\') path += '\\';
    return path;
}

} // namespace

TEST_SUITE("import tables")
{
    TEST_CASE("the shipped binaries load on Windows 95 and NT 4")
    {
        const std::string bin = ProductFolder();
        for (const char* name : {"tarnwick.exe", "tarnwick-cli.exe", "OrvoSysUtils.dll", "OrvoGdiUtils.dll",
                                 "Plugins\\SetPriority.dll", "Plugins\\Checksums.dll",
                                 "Language\\German_tarnwick.lang"}) {
            CAPTURE(name);
            CHECK(CheckBinary(bin + name) == "");
        }
    }

    TEST_CASE("the program binds its own libraries by ordinal only")
    {
        MappedImageFile file;
        file.open((ProductFolder() + "tarnwick.exe").c_str());
        REQUIRE(file.IsPE());
        int ownImports = 0;
        for (const ImportedModule& module : file.View().ReadImports()) {
            const std::string dll = Lower(module.strName);
            if (dll != "orvosysutils.dll" && dll != "orvogdiutils.dll") continue;
            for (const ImportedFunction& function : module.functions) {
                CHECK(function.strName == "N/A");
                ++ownImports;
            }
        }
        CHECK(ownImports > 0);

        file.open((ProductFolder() + "OrvoSysUtils.dll").c_str());
        REQUIRE(file.IsPE());
        const std::vector<ExportedFunction> exports = file.View().ReadExports();
        REQUIRE(exports.size() == 44);
        for (size_t i = 0; i < exports.size(); ++i) {
            CHECK(exports[i].dwOrdinal == i + 1);
            CHECK(exports[i].strName == "N/A");
        }
    }

    TEST_CASE("the program calls the drawing library's exports its parts use, by ordinal")
    {
        MappedImageFile file;
        file.open((ProductFolder() + "tarnwick.exe").c_str());
        REQUIRE(file.IsPE());
        std::set<uint32_t> ordinals;
        for (const ImportedModule& module : file.View().ReadImports())
            if (Lower(module.strName) == "orvogdiutils.dll")
                for (const ImportedFunction& function : module.functions)
                    if (function.bByOrdinal) ordinals.insert(function.dwValue);
        // Colours, frames, check marks and greyed images of menus and list rows,
        // the splash bitmap, the infobar's gradients and font, the font preview,
        // the report progress text, the swatches and the icon button's edges.
        const std::set<uint32_t> used = {1, 4, 5, 7, 17, 18, 19, 20, 21, 22, 24, 25, 28, 29, 31, 32};
        CHECK(ordinals == used);
    }

    TEST_CASE("the shipped binaries carry the build's version resource")
    {
        const uint32_t versionMs = (TARNWICK_VERSION_MAJOR << 16) | TARNWICK_VERSION_MINOR;
        const uint32_t versionLs = (TARNWICK_VERSION_PATCH << 16) | TARNWICK_VERSION_BUILD;
        const std::string version4 = TARNWICK_VERSION_TEXT "." + std::to_string(TARNWICK_VERSION_BUILD);
        for (const char* name : {"tarnwick.exe", "tarnwick-cli.exe", "OrvoSysUtils.dll", "OrvoGdiUtils.dll"}) {
            CAPTURE(name);
            FileVersionInfo info;
            REQUIRE(info.Load((ProductFolder() + name).c_str()));
            // VS_FIXEDFILEINFO: file version at 2 and 3, product version at 4 and 5.
            CHECK(info.dwFixed[2] == versionMs);
            CHECK(info.dwFixed[3] == versionLs);
            CHECK(info.dwFixed[4] == versionMs);
            CHECK(info.dwFixed[5] == versionLs);
            CHECK(info.wLanguage == 0x0409);
            CHECK(info.wCodePage == 1252);
            CHECK(info.QueryString("FileVersion") == version4);
            CHECK(info.QueryString("ProductVersion") == TARNWICK_VERSION_TEXT);
            CHECK(info.QueryString("ProductName") == "Tarnwick");
            CHECK(info.QueryString("OriginalFilename") == name);
            CHECK(info.QueryString("CompanyName") == TARNWICK_COMPANY);
            CHECK(info.QueryString("LegalCopyright") == TARNWICK_COPYRIGHT);
            CHECK(info.QueryString("FileDescription").compare(0, 9, "Tarnwick ") == 0);
        }
    }

    TEST_CASE("the program asks for common controls 6 and no elevation")
    {
        HMODULE program = LoadLibraryExA((ProductFolder() + "tarnwick.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        REQUIRE(program != nullptr);
        HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
        REQUIRE(found != nullptr);
        const char* text = static_cast<const char*>(LockResource(LoadResource(program, found)));
        REQUIRE(text != nullptr);
        const std::string manifest(text, SizeofResource(program, found));
        CHECK(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"") != std::string::npos);
        CHECK(manifest.find("level=\"asInvoker\"") != std::string::npos);
        CHECK(manifest.find("version=\"" TARNWICK_VERSION_TEXT ".") != std::string::npos);
        FreeLibrary(program);
    }
}
