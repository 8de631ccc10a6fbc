#include "tests/ImportRules.h"

#include <cctype>
#include <set>

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

} // namespace

std::string ImportRules::LoadTimeProblems(const PeImageView& view, const std::string& path)
{
    if (!view.IsPE()) return path + ": not a PE image";
    std::string problems;
    uint16_t major = 0, minor = 0;
    if (!view.SubsystemVersion(major, minor) || major > 4 || (major == 4 && minor > 0))
        problems += path + ": subsystem version above 4.0\n";
    for (const ImportedModule& module : view.ReadImports()) {
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

int ImportRules::OwnLibraryImports(const PeImageView& view, int* byName)
{
    int count = 0;
    if (byName) *byName = 0;
    for (const ImportedModule& module : view.ReadImports()) {
        const std::string dll = Lower(module.strName);
        if (dll != "orvosysutils.dll" && dll != "orvogdiutils.dll") continue;
        for (const ImportedFunction& function : module.functions) {
            if (function.strName != "N/A" && byName) ++*byName;
            ++count;
        }
    }
    return count;
}

std::set<uint32_t> ImportRules::DrawingOrdinals(const PeImageView& view)
{
    std::set<uint32_t> ordinals;
    for (const ImportedModule& module : view.ReadImports())
        if (Lower(module.strName) == "orvogdiutils.dll")
            for (const ImportedFunction& function : module.functions)
                if (function.bByOrdinal) ordinals.insert(function.dwValue);
    return ordinals;
}

const std::set<uint32_t>& ImportRules::DrawingOrdinalsUsed()
{
    // Colours, frames, check marks and greyed images of menus and list rows,
    // the splash bitmap, the infobar's gradients and font, the font preview,
    // the report progress text, the swatches and the icon button's edges.
    static const std::set<uint32_t> used = {1, 4, 5, 7, 17, 18, 19, 20, 21, 22, 24, 25, 28, 29, 31, 32};
    return used;
}
