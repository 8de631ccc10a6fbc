#include <doctest/doctest.h>

#include "tests/DebugCapture.h"
#include "tests/TestPaths.h"
#include "sysutils/OsVersion.h"
#include "sysutils/Orvo_SystemUtilities.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// OrvoSysUtils.dll as an outside program sees it: bound by ordinal.
class SysUtilsDll {
public:
    SysUtilsDll() : module(LoadLibraryA((TestPaths::BinFolder() + "OrvoSysUtils.dll").c_str())) {}
    ~SysUtilsDll()
    {
        if (module) FreeLibrary(module);
    }
    template <class T>
    T At(int ordinal) const
    {
        return reinterpret_cast<T>(reinterpret_cast<void*>(
            GetProcAddress(module, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ordinal)))));
    }
    HMODULE module;
};

void WINAPI CollectPath(const char* path, LPARAM user)
{
    reinterpret_cast<std::vector<std::string>*>(user)->push_back(path);
}

bool IsNtFamily()
{
    return GetPlatformId() == VER_PLATFORM_WIN32_NT;
}

} // namespace

TEST_SUITE("sysutils dll")
{
    TEST_CASE("all 44 exports are there by ordinal and nothing more")
    {
        SysUtilsDll dll;
        REQUIRE(dll.module != nullptr);
        for (int ordinal = 1; ordinal <= 44; ++ordinal) {
            CAPTURE(ordinal);
            CHECK(dll.At<void*>(ordinal) != nullptr);
        }
        CHECK(dll.At<void*>(45) == nullptr);
        CHECK(dll.At<void*>(0) == nullptr);
    }

    TEST_CASE("ordinals bind to the documented functions")
    {
        SysUtilsDll dll;
        REQUIRE(dll.module != nullptr);
        char text[300];

        CHECK(dll.At<DWORD(WINAPI*)()>(2)() == GetPlatformId());
        CHECK(dll.At<int(WINAPI*)(const char*, char*, int)>(9)("C:\\x\\y.dll", text, 300) == 5);
        CHECK(dll.At<int(WINAPI*)(const char*)>(10)("\\??\\C:\\") == 0);
        std::strcpy(text, "\\??\\C:\\a.exe");
        CHECK(dll.At<int(WINAPI*)(char*, int)>(11)(text, 300) == 8);
        CHECK(std::string(dll.At<char*(WINAPI*)(const char*)>(12)("C:\\d\\f.txt")) == "f.txt");
        CHECK(dll.At<DWORD(WINAPI*)(DWORD)>(13)(1025) == 2);
        CHECK(dll.At<DWORD(WINAPI*)(DWORD)>(14)(1048577) == 2);
        CHECK(dll.At<DWORD(WINAPI*)(DWORD)>(15)(1) == 1);
        CHECK(dll.At<int(WINAPI*)()>(16)() == 0);
        CHECK(dll.At<double(WINAPI*)(double, int)>(19)(2.345, 2) == doctest::Approx(2.35));
        CHECK(dll.At<int(WINAPI*)(char*, int)>(20)(text, 10) == 260);
        CHECK(dll.At<BOOL(WINAPI*)(const char*)>(21)("\\\\srv\\x"));
        CHECK(dll.At<BOOL(WINAPI*)(const char*)>(22)("C:\\*"));
        CHECK_FALSE(dll.At<BOOL(WINAPI*)(const char*)>(22)("C:\\no-such-file-4711.*"));
        CHECK(dll.At<BOOL(WINAPI*)(const char*)>(23)("PROGRA~1"));
        CHECK(dll.At<int(WINAPI*)(DWORD, DWORD)>(25)(0xFFFFFFFF, 1) == 1);
        CHECK(dll.At<DWORD(WINAPI*)(const void*, DWORD)>(26)("abc", 3) == 0x352441C2u);
        CHECK(dll.At<int(WINAPI*)(PSID, char*, int)>(27)(nullptr, text, 300) == -1);
        CHECK(dll.At<int(WINAPI*)(DWORD)>(28)(0xF0F0) == 8);
        CHECK(dll.At<int(WINAPI*)(HMODULE, char*, int, BOOL)>(29)(nullptr, text, 300, TRUE) > 0);
        CHECK(dll.At<BYTE(WINAPI*)()>(30)() == GetAnsiCharset());
        CHECK(dll.At<WORD(WINAPI*)()>(31)() == GetUILanguage());
        CHECK(dll.At<int(WINAPI*)(const char*, const char*, FindFilesCallback, LPARAM)>(32)("C:\\", "nodot",
                                                                                              nullptr, 0)
              == -1);
        std::strcpy(text, "  a   b ");
        CHECK(std::string(dll.At<char*(WINAPI*)(char*)>(33)(text)) == "a b");
        char filter[16] = {};
        dll.At<char*(WINAPI*)(char*, const char*)>(34)(filter, "x");
        CHECK(filter[1] == 'x');
        CHECK(dll.At<void*(WINAPI*)(void*, BYTE, int)>(35)(text, '#', 3) == text);
        CHECK(std::string(text) == "###");
        std::strcpy(text, "a.b");
        CHECK(std::string(dll.At<char*(WINAPI*)(char*, char, char)>(36)(text, '.', '_')) == "a_b");
        std::strcpy(text, "ab  ");
        CHECK(dll.At<char*(WINAPI*)(char*)>(37)(text) == text + 2);
        CHECK(dll.At<BOOL(WINAPI*)(const char*)>(38)("   "));
        std::strcpy(text, "hELLO");
        CHECK(std::string(dll.At<char*(WINAPI*)(char*)>(39)(text)) == "Hello");
        CHECK(dll.At<char*(WINAPI*)(const char*, const char*)>(40)("abcDEF", "cd") != nullptr);
        std::strcpy(text, "  z");
        CHECK(std::string(dll.At<char*(WINAPI*)(char*)>(41)(text)) == "z");
        std::strcpy(text, "xyxyz");
        CHECK(dll.At<BOOL(WINAPI*)(char*, const char*)>(42)(text, "xy"));
        CHECK(std::string(text) == "z");
        CHECK_FALSE(dll.At<BOOL(WINAPI*)(HWND, char*, int, const char*)>(43)(nullptr, text, 100, "t"));
        BYTE digest[16];
        CHECK(dll.At<int(WINAPI*)(const char*, BYTE*)>(44)(nullptr, digest) == 0);
    }

    TEST_CASE("module folder with and without the separator")
    {
        char withSeparator[300] = {};
        char without[300] = {};
        int n = GetModuleFolder(nullptr, withSeparator, sizeof(withSeparator), TRUE);
        CHECK(n == static_cast<int>(std::strlen(withSeparator)));
        CHECK(std::string(withSeparator) == TestPaths::BinFolder());
        CHECK(GetModuleFolder(nullptr, without, sizeof(without), FALSE) == n);
        CHECK(std::string(without) + "\\" == withSeparator);
        // Too small: the length is returned and the buffer is untouched.
        char small[4] = "abc";
        CHECK(GetModuleFolder(nullptr, small, sizeof(small), TRUE) == n);
        CHECK(std::string(small) == "abc");
        CHECK(GetModuleFolder(nullptr, nullptr, 0, TRUE) == n);
    }

    TEST_CASE("recursive file search counts the same twice")
    {
        std::string root = TestPaths::MakeScratchFolder("find");
        CreateDirectoryA((root + "\\Sub").c_str(), nullptr);
        CreateDirectoryA((root + "\\Sub\\Deeper").c_str(), nullptr);
        const char* files[] = {"\\One.DLL", "\\two.txt", "\\Sub\\Three.dll", "\\Sub\\Deeper\\four.dll",
                               "\\Sub\\Deeper\\five.dllx"};
        for (const char* file : files) REQUIRE(TestPaths::WriteFile(root + file, "x", 1));

        std::vector<std::string> found;
        int first = FindFilesRecursive(root.c_str(), "*.dll", CollectPath, reinterpret_cast<LPARAM>(&found));
        // ".DLL" is contained in "five.dllx" as well.
        CHECK(first == 4);
        CHECK(found.size() == 4);
        bool sawLowerCased = false;
        for (const std::string& path : found)
            if (path == root + "\\one.dll") sawLowerCased = true;
        CHECK(sawLowerCased);
        CHECK(FindFilesRecursive(root.c_str(), "*.dll", nullptr, 0) == first);
        CHECK(FindFilesRecursive(root.c_str(), "*.txt", nullptr, 0) == 1);
        CHECK(FindFilesRecursive(root.c_str(), "nodot", nullptr, 0) == -1);
        CHECK(FindFilesRecursive((root + "\\missing").c_str(), "*.dll", nullptr, 0) == -1);
        TestPaths::RemoveTree(root);
    }

    TEST_CASE("small helpers that write debugger lines")
    {
        DebugCapture capture;
        char text[300];
        CHECK_FALSE(ChooseFolder(nullptr, text, 259, "title"));
        CHECK_FALSE(ChooseFolder(nullptr, nullptr, 300, "title"));
        ShowLastError(0, 0);
        CHECK(capture.Lines() == std::vector<std::string>{"ChooseFolder: Buffer too short.\n",
                                                           "ChooseFolder: Buffer too short.\n"});
        capture.Clear();
        ShowLastError(ERROR_FILE_NOT_FOUND, 0);
        REQUIRE(capture.Lines().size() == 2);
        CHECK(capture.Lines()[0] == "GetLastError returned: ");
        CHECK_FALSE(capture.Lines()[1].empty());
    }

    TEST_CASE("personal folder")
    {
        char folder[300] = {};
        CHECK(GetPersonalFolder(nullptr, 300) == 260);
        CHECK(GetPersonalFolder(folder, 259) == 260);
        int length = GetPersonalFolder(folder, sizeof(folder));
        CHECK(length == static_cast<int>(std::strlen(folder)));
        CHECK(length > 3);
    }
}

TEST_SUITE("family")
{
    TEST_CASE("privileges and the owner on this family")
    {
        DebugCapture capture;
        if (!IsNtFamily()) {
            CHECK(EnablePrivilege("SeDebugPrivilege") == 0);
            CHECK(EnablePrivilege("SeNoSuchPrivilege") == 0);
            CHECK(SetPrivilege("SeNoSuchPrivilege") == 0);
            CHECK(EnableDebugPrivilege() == 0);
            CHECK(capture.Lines().empty());
            return;
        }
        CHECK(EnableDebugPrivilege() == 0);
        CHECK(EnableShutdownPrivilege() == 0);
        CHECK(capture.Lines().empty());

        CHECK(EnablePrivilege("SeNoSuchPrivilege") == ERROR_NO_SUCH_PRIVILEGE);
        CHECK(capture.Lines() == std::vector<std::string>{"LookupPrivilegeValue(...) failed.\n"});
        capture.Clear();
        CHECK(SetPrivilege("SeNoSuchPrivilege") == 0);
        CHECK(SetDebugPrivilege() == 0);
        CHECK(SetShutdownPrivilege() == 0);
        REQUIRE(!capture.Lines().empty());
        CHECK(capture.Lines()[0] == "LookupPrivilegeValue(...) failed.\n");

        char owner[260] = {};
        DWORD size = 259;
        CHECK(GetProcessOwner(GetCurrentProcess(), owner, &size) == 1);
        std::string text(owner);
        CHECK(text.compare(0, 2, "\\\\") == 0);
        CHECK(text.find('\\', 2) != std::string::npos);

        // A size smaller than the text: the size needed is stored, the buffer untouched.
        char small[8] = "keep";
        DWORD smallSize = 3;
        CHECK(GetProcessOwner(GetCurrentProcess(), small, &smallSize) == 1);
        CHECK(smallSize == text.size() + 1);
        CHECK(std::string(small) == "keep");
    }

    TEST_CASE("user-interface language on this version")
    {
        const WORD language = GetUILanguage();
        switch (OsVersion().nKind) {
        case OsVersion::WindowsME:
        case OsVersion::Windows2000:
        case OsVersion::WindowsXP:
            // The system is asked; Wine answers with a real language id.
            CHECK(language != 0);
            CHECK(language != 0xFFFF);
            break;
        case OsVersion::Windows95:
        case OsVersion::Windows98:
        case OsVersion::Windows98SE: {
            HKEY key;
            const bool hasLocale = RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop\\ResourceLocale", 0,
                                                 KEY_READ, &key)
                                == ERROR_SUCCESS;
            if (hasLocale) RegCloseKey(key);
            if (!hasLocale) CHECK(language == 0xFFFF);
            break;
        }
        case OsVersion::WindowsNT:
            CHECK(language == 0xFFFF);
            break;
        default:
            CHECK(language == 0);
            break;
        }
        CHECK(GetAnsiCharset() == ANSI_CHARSET);
    }
}
