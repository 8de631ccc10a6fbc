#include <doctest/doctest.h>

#include "tests/DebugCapture.h"
#include "sysinfo/DllGetVersionWrapper.h"
#include "sysinfo/IMAGEHELPWrapper.h"
#include "sysinfo/KERNEL32Wrapper.h"
#include "sysinfo/LangModuleWrapper.h"
#include "sysinfo/MSIMG32Wrapper.h"
#include "sysinfo/SHELL32Wrapper.h"
#include "sysinfo/NTDLLWrapper.h"
#include "sysinfo/PSAPIWrapper.h"
#include "sysinfo/TOOLHELP32Wrapper.h"
#include "sysinfo/UxThemeWrapper.h"
#include "sysinfo/WTSWrapper.h"

#include <cstring>

namespace {
const char kMissingLine[] = "WrapperBase::load(no-such-library-4711.dll) failed! The library was not found!\n";

// A binding pointed at a library that does not exist.
struct MissingLibrary : public WrapperBase {
    MissingLibrary() : WrapperBase("no-such-library-4711.dll") {}
};
} // namespace

TEST_SUITE("bindings")
{
    TEST_CASE("a missing library writes exactly one line and leaves the module null")
    {
        DebugCapture capture;
        {
            MissingLibrary binding;
            CHECK(binding.GetModule() == nullptr);
        }
        REQUIRE(capture.Lines().size() == 1);
        CHECK(capture.Lines()[0] == kMissingLine);
    }

    TEST_CASE("the load line is truncated to 260 bytes")
    {
        std::string longName(400, 'x');
        longName += ".dll";
        DebugCapture capture;
        DllGetVersionWrapper binding(longName.c_str());
        REQUIRE(capture.Lines().size() == 1);
        CHECK(capture.Lines()[0].size() == 259);
        CHECK(capture.Lines()[0].compare(0, 26, "WrapperBase::load(xxxxxxxx") == 0);
    }

    TEST_CASE("calls of a binding whose library is missing return their failure values")
    {
        DebugCapture capture;
        DllGetVersionWrapper version("no-such-library-4711.dll");
        LangModuleWrapper language("no-such-library-4711.dll");
        CHECK(capture.Lines().size() == 2);
        capture.Clear();

        // Entry points are null; the unguarded calls fault and report it.
        CHECK(version.DllGetVersion() == 0);
        CHECK_FALSE(language.IsValid());
        LangModuleInfo info = {};
        CHECK(language.GetLangModuleInfo(&info) == 0);
        REQUIRE(capture.Lines().size() == 2);
        CHECK(capture.Lines()[0] == "DllGetVersionWrapper::DllGetVersion\n");
        CHECK(capture.Lines()[1] == "Exception caught in \"LangModuleWrapper\" at line 42!\n");
    }

    TEST_CASE("guarded-out calls return quietly")
    {
        NTDLLWrapper ntdll;
        KERNEL32Wrapper kernel;
        IMAGEHELPWrapper imageHelp;
        MSIMG32Wrapper msimg;
        WTSWrapper wts;
        DebugCapture capture;

        ntdll.pfnNtQueryInformationProcess = nullptr; // only one of the two present
        ULONG length = 0;
        char buffer[64];
        CHECK(ntdll.NtQuerySystemInformation(0, buffer, sizeof(buffer), &length) == 0xFFFFFFFF);
        CHECK(ntdll.NtQueryInformationProcess(GetCurrentProcess(), 0, buffer, sizeof(buffer), &length)
              == 0xFFFFFFFF);

        kernel.pfnIsDebuggerPresent = nullptr;
        kernel.pfnGetLongPathNameA = nullptr;
        CHECK_FALSE(kernel.IsDebuggerPresent());
        CHECK(kernel.GetLongPathName("C:\\", buffer, sizeof(buffer)) == 0);

        imageHelp.pfnUnDecorateSymbolName = nullptr;
        CHECK(imageHelp.UnDecorateSymbolName("?f@@YAXXZ", buffer, sizeof(buffer), 0) == 0);

        msimg.pfnGradientFill = nullptr;
        CHECK_FALSE(msimg.GradientFill(nullptr, nullptr, 0, nullptr, 0, 0));

        wts.pfnWTSFreeMemory = nullptr;
        PWTS_PROCESS_INFOA processes = nullptr;
        DWORD count = 0;
        CHECK(wts.WTSEnumerateProcesses(WTS_CURRENT_SERVER_HANDLE, 0, 1, &processes, &count) == 0);
        wts.WTSFreeMemory(nullptr);

        CHECK(capture.Lines().empty());
    }

    TEST_CASE("a fault inside each unguarded call writes its own line")
    {
        DebugCapture capture;
        PSAPIWrapper psapi;
        TOOLHELP32Wrapper toolhelp;
        psapi.pfnEnumProcessModules = nullptr;
        psapi.pfnGetModuleFileNameExA = nullptr;
        toolhelp.pfnCreateToolhelp32Snapshot = nullptr;
        toolhelp.pfnProcess32First = toolhelp.pfnProcess32Next = nullptr;
        toolhelp.pfnModule32First = toolhelp.pfnModule32Next = nullptr;
        capture.Clear();

        DWORD needed = 0;
        char buffer[16];
        PROCESSENTRY32 process = {};
        MODULEENTRY32 module = {};
        CHECK_FALSE(psapi.EnumProcessModules(GetCurrentProcess(), nullptr, 0, &needed));
        CHECK(psapi.GetModuleFileNameEx(GetCurrentProcess(), nullptr, buffer, sizeof(buffer)) == 0);
        CHECK(toolhelp.CreateToolhelp32Snapshot(2, 0) == INVALID_HANDLE_VALUE);
        CHECK_FALSE(toolhelp.Process32First(nullptr, &process));
        CHECK_FALSE(toolhelp.Process32Next(nullptr, &process));
        CHECK_FALSE(toolhelp.Module32First(nullptr, &module));
        CHECK_FALSE(toolhelp.Module32Next(nullptr, &module));

        const std::vector<std::string> expected = {
            "PSAPIWrapper::EnumProcessModules failed\n",
            "PSAPIWrapper::GetModuleFileNameEx failed\n",
            "TOOLHELP32Wrapper::CreateToolhelp32Snapshot failed\n",
            "TOOLHELP32Wrapper::Process32First failed\n",
            "TOOLHELP32Wrapper::Process32Next failed\n",
            "TOOLHELP32Wrapper::Module32First failed\n",
            "TOOLHELP32Wrapper::Module32Next failed\n",
        };
        CHECK(capture.Lines() == expected);
    }

    TEST_CASE("the wide shell entry: bound on the NT family, a missing or faulting one fails quietly")
    {
        SHELL32Wrapper shell;
        CHECK(shell.HasShellExecuteExW());
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.lpVerb = L"open";
        info.lpFile = L"C:\\no-such-folder-4711\\none.txt";
        DebugCapture capture;
        CHECK_FALSE(shell.ShellExecuteExW(&info));
        CHECK(capture.Lines().empty());
        shell.pfnShellExecuteExW = reinterpret_cast<SHELL32Wrapper::PFN_ShellExecuteExW>(static_cast<uintptr_t>(0x10));
        CHECK_FALSE(shell.ShellExecuteExW(&info));
        shell.pfnShellExecuteExW = nullptr;
        CHECK_FALSE(shell.HasShellExecuteExW());
        CHECK_FALSE(shell.ShellExecuteExW(&info));
        CHECK(capture.Lines()
              == std::vector<std::string>{"SHELL32Wrapper::ShellExecuteExW failed\n", "SHELL32Wrapper::ShellExecuteExW failed\n"});
    }

    TEST_CASE("a faulting entry point inside a guarded call writes its line")
    {
        // Point the entry at something that faults when called.
        DebugCapture capture;
        NTDLLWrapper ntdll;
        KERNEL32Wrapper kernel;
        IMAGEHELPWrapper imageHelp;
        MSIMG32Wrapper msimg;
        WTSWrapper wts;
        capture.Clear();
        void* bad = reinterpret_cast<void*>(static_cast<uintptr_t>(0x10));
        ntdll.pfnNtQuerySystemInformation = reinterpret_cast<NTDLLWrapper::PFN_NtQuerySystemInformation>(bad);
        ntdll.pfnNtQueryInformationProcess = reinterpret_cast<NTDLLWrapper::PFN_NtQueryInformationProcess>(bad);
        kernel.pfnIsDebuggerPresent = reinterpret_cast<KERNEL32Wrapper::PFN_IsDebuggerPresent>(bad);
        kernel.pfnGetLongPathNameA = reinterpret_cast<KERNEL32Wrapper::PFN_GetLongPathNameA>(bad);
        imageHelp.pfnUnDecorateSymbolName = reinterpret_cast<IMAGEHELPWrapper::PFN_UnDecorateSymbolName>(bad);
        msimg.pfnGradientFill = reinterpret_cast<MSIMG32Wrapper::PFN_GradientFill>(bad);
        wts.pfnWTSEnumerateProcessesA = reinterpret_cast<WTSWrapper::PFN_WTSEnumerateProcessesA>(bad);
        wts.pfnWTSFreeMemory = reinterpret_cast<WTSWrapper::PFN_WTSFreeMemory>(bad);

        char buffer[16];
        ULONG length = 0;
        DWORD count = 0;
        PWTS_PROCESS_INFOA processes = nullptr;
        CHECK(ntdll.NtQuerySystemInformation(5, buffer, sizeof(buffer), &length) == 0xFFFFFFFF);
        CHECK(ntdll.NtQueryInformationProcess(nullptr, 0, buffer, sizeof(buffer), &length) == 0xFFFFFFFF);
        CHECK_FALSE(kernel.IsDebuggerPresent());
        CHECK(kernel.GetLongPathName("C:\\", buffer, sizeof(buffer)) == 0);
        CHECK(imageHelp.UnDecorateSymbolName("x", buffer, sizeof(buffer), 0) == 0);
        CHECK_FALSE(msimg.GradientFill(nullptr, nullptr, 0, nullptr, 0, 0));
        CHECK(wts.WTSEnumerateProcesses(nullptr, 0, 1, &processes, &count) == 0);
        wts.WTSFreeMemory(nullptr);

        const std::vector<std::string> expected = {
            "NTDLLWrapper::NtQuerySystemInformation failed\n",
            "NTDLLWrapper::NtQueryInformationProcess failed\n",
            "KERNEL32Wrapper::IsDebuggerPresent failed\n",
            "KERNEL32Wrapper::GetLongPathNameA failed\n",
            "IMAGEHELPWrapper::UnDecorateSymbolName failed\n",
            "MSIMG32Wrapper::GradientFill failed\n",
            "WTSWrapper::WTSEnumerateProcesses failed\n",
            "WTSWrapper::WTSFreeMemory failed\n",
        };
        CHECK(capture.Lines() == expected);
    }

    TEST_CASE("present libraries answer through their bindings")
    {
        DebugCapture capture;
        NTDLLWrapper ntdll;
        KERNEL32Wrapper kernel;
        IMAGEHELPWrapper imageHelp;
        DllGetVersionWrapper comctl("COMCTL32.DLL");

        CHECK(ntdll.GetModule() != nullptr);
        ULONG length = 0;
        unsigned char basic[sizeof(void*) == 8 ? 64 : 44] = {}; // SYSTEM_BASIC_INFORMATION
        CHECK(ntdll.NtQuerySystemInformation(0, basic, sizeof(basic), &length) == 0);

        char longPath[MAX_PATH] = {};
        CHECK(kernel.GetLongPathName("C:\\", longPath, sizeof(longPath)) > 0);

        char plain[128] = {};
        if (imageHelp.CanUndecorate()) {
            CHECK(imageHelp.UnDecorateSymbolName("?Method@Class@@QAEHH@Z", plain, sizeof(plain), 0) > 0);
            CHECK(std::strstr(plain, "Class::Method") != nullptr);
        }

        DWORD version = comctl.DllGetVersion();
        CHECK((version >> 16) >= 4);

        UxThemeWrapper theme;
        if (!theme.GetModule()) {
            CHECK(theme.OpenThemeData(nullptr, L"BUTTON") == nullptr);
            CHECK(theme.IsAppThemed() == FALSE);
            CHECK(theme.CloseThemeData(nullptr) == static_cast<HRESULT>(0x80004005L));
        }
        CHECK(capture.Lines().empty());
    }

    TEST_CASE("UxTheme fallbacks when the library is absent write nothing")
    {
        struct NoTheme : public UxThemeWrapper {
            NoTheme()
            {
                if (hModule) FreeLibrary(hModule);
                hModule = nullptr;
            }
        };
        DebugCapture capture;
        NoTheme theme;
        RECT rect = {0, 0, 1, 1};
        CHECK(theme.OpenThemeData(nullptr, L"BUTTON") == nullptr);
        CHECK(theme.CloseThemeData(nullptr) == static_cast<HRESULT>(0x80004005L));
        CHECK(theme.DrawThemeBackground(nullptr, nullptr, 0, 0, &rect, nullptr)
              == static_cast<HRESULT>(0x80004005L));
        CHECK(theme.IsAppThemed() == FALSE);
        CHECK(theme.DrawThemeParentBackground(nullptr, nullptr, &rect) == static_cast<HRESULT>(0x80004005L));
        CHECK(capture.Lines().empty());
    }
}
