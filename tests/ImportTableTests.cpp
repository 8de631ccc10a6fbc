#include <doctest/doctest.h>

#include "tests/ImportRules.h"
#include "tests/TestPaths.h"
#include "TarnwickVersion.h"
#include "image/MappedImageFile.h"
#include "sysinfo/FileVersionInfo.h"

#include <windows.h>

#include <set>
#include <string>

namespace {

std::string CheckBinary(const std::string& path)
{
    MappedImageFile file;
    file.open(path.c_str());
    return ImportRules::LoadTimeProblems(file.View(), path);
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
#ifdef _WIN64
        // The 64-bit test build is never shipped; make test checks the 32-bit
        // binaries' tables natively (the suite "shipped binaries").
        return;
#endif
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
        int byName = 0;
        const int ownImports = ImportRules::OwnLibraryImports(file.View(), &byName);
        CHECK(byName == 0);
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
        CHECK(ImportRules::DrawingOrdinals(file.View()) == ImportRules::DrawingOrdinalsUsed());
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
