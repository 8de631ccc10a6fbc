#include <doctest/doctest.h>

#include "tests/DebugCapture.h"
#include "tests/PeBuilder.h"
#include "tests/TestPaths.h"
#include "image/ClModuleIX.h"
#include "sysinfo/IMAGEHELPWrapper.h"
#include "image/ImportClosure.h"
#include "image/MappedImageFile.h"
#include "image/PeResourceWalker.h"
#include "image/ResourceTypeList.h"

#include <windows.h>
#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace {

PeBuilder::ImportDll Imports(const std::string& dll)
{
    return {dll, {{false, 1, "Function"}}};
}

std::string WriteImage(const std::string& folder, const std::string& name, const std::vector<std::string>& dlls)
{
    PeBuilder b;
    for (const std::string& dll : dlls) b.imports.push_back(Imports(dll));
    std::vector<uint8_t> image = b.Build();
    std::string path = folder + "\\" + name;
    TestPaths::WriteFile(path, image.data(), image.size());
    return path;
}

// The system's own enumeration, the oracle for well-formed files: one line
// per type, "name count", in the order the loader reports them.
BOOL CALLBACK CountName(HMODULE, LPCSTR, LPSTR, LONG_PTR counter)
{
    ++*reinterpret_cast<uint32_t*>(counter);
    return TRUE;
}

BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR lines)
{
    uint32_t count = 0;
    EnumResourceNamesA(module, type, CountName, reinterpret_cast<LONG_PTR>(&count));
    const std::string name = IS_INTRESOURCE(type)
                               ? ResourceTypeList::TypeName(static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(type)))
                               : std::string(type);
    reinterpret_cast<std::vector<std::string>*>(lines)->push_back(name + " " + std::to_string(count));
    return TRUE;
}

bool SystemResourceTypes(const std::string& path, std::vector<std::string>& lines)
{
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return false;
    EnumResourceTypesA(module, AddType, reinterpret_cast<LONG_PTR>(&lines));
    FreeLibrary(module);
    return true;
}

std::string CurrentDirectory()
{
    char buffer[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, buffer);
    return buffer;
}

} // namespace

TEST_SUITE("image files")
{
    TEST_CASE("open states and classification of files on disk")
    {
        std::string folder = TestPaths::MakeScratchFolder("map");
        MappedImageFile file;
        file.open((folder + "\\missing.dll").c_str());
        CHECK(file.OpenStateValue() == 1);
        CHECK(file.ImageState() == 1);
        CHECK(file.HeaderOffset() == -1);

        TestPaths::WriteFile(folder + "\\empty.dll", "", 0);
        file.open((folder + "\\empty.dll").c_str());
        CHECK(file.OpenStateValue() == 2);  // an empty file cannot be mapped

        TestPaths::WriteFile(folder + "\\text.txt", "hello, world", 12);
        file.open((folder + "\\text.txt").c_str());
        CHECK(file.OpenStateValue() == 0);
        CHECK(file.ImageState() == 2);

        std::string dll = WriteImage(folder, "lib.dll", {"kernel32.dll"});
        file.open(dll.c_str());
        CHECK(file.IsPE());
        CHECK(file.NtHeaders() != nullptr);
        CHECK(file.DirectoryPointer(1) != nullptr);
        CHECK(file.DirectoryPointer(0) == nullptr);
        file.close();
        CHECK(file.OpenStateValue() == 1);
        CHECK(file.NtHeaders() == nullptr);
        // Closed files can be deleted: no handle stays open.
        CHECK(DeleteFileA(dll.c_str()));
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("ClModuleIX reads both tables and leaves both empty for other files")
    {
        std::string folder = TestPaths::MakeScratchFolder("ix");
        PeBuilder b;
        b.imports.push_back({"KERNEL32.dll", {{false, 7, "?Method@Class@@QAEHH@Z"}, {true, 3, ""}}});
        b.bHasExports = true;
        b.exports.functions = {"f"};
        b.exports.names = {{"Exported", 0}};
        std::vector<uint8_t> image = b.Build();
        std::string path = folder + "\\ix.dll";
        REQUIRE(TestPaths::WriteFile(path, image.data(), image.size()));

        ClModuleIX ix;
        ix.Load(path.c_str());
        REQUIRE(ix.Imports().size() == 1);
        REQUIRE(ix.Imports()[0].functions.size() == 2);
        if (ix.CanUndecorate())
            CHECK(ix.Imports()[0].functions[0].strName.find("Class::Method") != std::string::npos);
        CHECK(ix.Imports()[0].functions[0].dwValue == 7);
        REQUIRE(ix.Exports().size() == 1);
        CHECK(ix.Exports()[0].strName == "Exported");

        TestPaths::WriteFile(folder + "\\no.dll", "MZ", 2);
        ix.Load((folder + "\\no.dll").c_str());
        CHECK(ix.Imports().empty());
        CHECK(ix.Exports().empty());
        ix.Load(nullptr);
        CHECK(ix.Exports().empty());
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("resource types as the loader reports them")
    {
        ResourceTypeList list;
        CHECK_FALSE(list.load(nullptr));
        CHECK_FALSE(list.load("no-such-file-4711.dll"));
        REQUIRE(list.load((TestPaths::BinFolder() + "restypes.dll").c_str()));
        std::map<std::string, ResourceTypeEntry> byName;
        for (const ResourceTypeEntry& entry : list.Entries()) byName[entry.strName] = entry;
        REQUIRE(byName.count("RT_RCDATA"));
        CHECK(byName["RT_RCDATA"].nCount == 2);
        CHECK(byName["RT_RCDATA"].bIsNumeric == 1);
        CHECK(byName["RT_RCDATA"].dwId == 10);
        REQUIRE(byName.count("RT_UNKNOWN(ID: 13)"));
        CHECK(byName["RT_UNKNOWN(ID: 13)"].dwId == 13);
        CHECK(byName.count("RT_UNKNOWN(ID: 99)") == 1);
        REQUIRE(byName.count("RT_PNG"));
        CHECK(byName["RT_PNG"].bIsNumeric == 0);
        CHECK(byName["RT_PNG"].dwId == 0);
        CHECK(byName["RT_PNG"].nCount == 3);
        CHECK(byName["RT_VERSION"].nCount == 1);

        // The version resource's bytes are the ones the loader finds.
        MappedImageFile file;
        file.open((TestPaths::BinFolder() + "restypes.dll").c_str());
        const uint8_t* data = nullptr;
        size_t size = 0;
        REQUIRE(PeResourceWalker(file.View()).FirstData(16, data, size));
        HMODULE module = LoadLibraryExA((TestPaths::BinFolder() + "restypes.dll").c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE);
        REQUIRE(module != nullptr);
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
        REQUIRE(found != nullptr);
        CHECK(SizeofResource(module, found) == size);
        const void* loaded = LockResource(LoadResource(module, found));
        CHECK(std::memcmp(loaded, data, size) == 0);
        FreeLibrary(module);
        CHECK_FALSE(PeResourceWalker(file.View()).FirstData(4711, data, size));
        // A file already mapped reads the same as a path.
        ResourceTypeList fromView;
        CHECK(fromView.load(file.View()));
        CHECK(fromView.Entries().size() == list.Entries().size());

        CHECK(ResourceTypeList::TypeName(24) == "RT_MANIFEST");
        CHECK(ResourceTypeList::TypeName(15) == "RT_UNKNOWN(ID: 15)");
        CHECK(ResourceTypeList::TypeName(18) == "RT_UNKNOWN(ID: 18)");
        CHECK(ResourceTypeList::TypeName(25) == "RT_UNKNOWN(ID: 25)");
    }

    TEST_CASE("import closure: cycles, self-imports and a missing DLL")
    {
        std::string folder = TestPaths::MakeScratchFolder("closure");
        std::string exe = WriteImage(folder, "app.exe", {"twalpha.dll", "twmissing.dll", "twbeta.dll"});
        WriteImage(folder, "twalpha.dll", {"twalpha.dll", "twbeta.dll"});
        WriteImage(folder, "twbeta.dll", {"twalpha.dll"});
        const std::string before = CurrentDirectory();

        ImportClosure closure;
        CHECK(closure.State() == 3);
        CHECK(closure.walk(exe.c_str()));
        CHECK(closure.State() == 0);
        CHECK(CurrentDirectory() == before);
        REQUIRE(closure.Count() == 3);
        // Newest first.
        CHECK(closure.Nodes()[0].strShortName == "twbeta.dll");
        CHECK(closure.Nodes()[1].strShortName == "twalpha.dll");
        CHECK(closure.Nodes()[2].strShortName == "app.exe");
        CHECK(closure.Nodes()[2].strFullPath == exe);
        CHECK(closure.Nodes()[2].missing == std::vector<std::string>{"twmissing.dll"});
        CHECK(closure.Nodes()[0].missing.empty());

        CHECK(closure.find("TWALPHA.DLL", false) == &closure.Nodes()[1]);
        CHECK(closure.find(exe.c_str(), true) == &closure.Nodes()[2]);
        CHECK(closure.find("app.exe", true) == nullptr);
        CHECK(closure.find("twmissing.dll", false) == nullptr);

        // A walk of something that is not a PE image, and of nothing at all.
        TestPaths::WriteFile(folder + "\\plain.exe", "just text, no header at all; long enough to be read", 52);
        CHECK_FALSE(closure.walk((folder + "\\plain.exe").c_str()));
        CHECK(closure.State() == 2);
        CHECK(closure.Count() == 0);
        CHECK_FALSE(closure.walk((folder + "\\gone.exe").c_str()));
        CHECK(closure.State() == 1);
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("import closure of a real program reaches the system libraries")
    {
        ImportClosure closure;
        const std::string cli = TestPaths::BinFolder() + "tarnwick-cli.exe";
        REQUIRE(closure.walk(cli.c_str()));
        CHECK(closure.find("kernel32.dll", false) != nullptr);
        CHECK(closure.find("msvcrt.dll", false) != nullptr);
        CHECK(closure.find("ntdll.dll", false) != nullptr);
        for (const ClosureModule& node : closure.Nodes()) CHECK(node.missing.empty());
    }

    TEST_CASE("the real libraries of the Wine installation are read without a fault")
    {
        const std::string folder = "Z:\\usr\\lib\\i386-linux-gnu\\wine\\i386-windows\\";
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) {
            MESSAGE("Wine's library folder is not visible; skipped");
            return;
        }
        DebugCapture capture;
        int files = 0, pe = 0, withResources = 0;
        std::vector<std::string> differing;
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            const std::string path = folder + data.cFileName;
            MappedImageFile file;
            file.open(path.c_str());
            if (file.IsPE()) {
                ++pe;
                // Resource types: the same names, counts and order as the system's enumeration.
                ResourceTypeList list;
                list.load(file.View());
                std::vector<std::string> ours, system;
                for (const ResourceTypeEntry& entry : list.Entries())
                    ours.push_back(entry.strName + " " + std::to_string(entry.nCount));
                if (SystemResourceTypes(path, system) && ours != system) differing.push_back(data.cFileName);
                if (!ours.empty()) ++withResources;
            }
            file.close();
            ClModuleIX ix;
            ix.Load(path.c_str());
            CHECK_FALSE(ix.Failed());
            ++files;
        } while (FindNextFileA(search, &data));
        FindClose(search);
        CHECK(files > 300);
        CHECK(pe > 300);
        CHECK(withResources > 300);
        CHECK(differing.empty());
        CHECK(capture.Text().find("ClModuleIX::Load failed") == std::string::npos);

        // Facts checked by hand with objdump -p on these files.
        ClModuleIX kernel32;
        kernel32.Load((folder + "kernel32.dll").c_str());
        bool forwardedHeapAlloc = false;
        for (const ExportedFunction& function : kernel32.Exports())
            if (function.strName == "HeapAlloc -> NTDLL.RtlAllocateHeap") forwardedHeapAlloc = true;
        CHECK(forwardedHeapAlloc);
        CHECK(kernel32.Exports().front().dwOrdinal == 1);
        CHECK(kernel32.Exports().front().strName == "N/A -> krnl386.exe16.VxDCall0");

        // Only C++ names ("?...") go through the undecorator: every other name
        // would come back unchanged (or not at all) from it anyway.
        IMAGEHELPWrapper& imageHelp = IMAGEHELPWrapper::Shared();
        if (imageHelp.CanUndecorate()) {
            PeImageView::Undecorator asIs = [](const std::string& name, size_t) { return name; };
            MappedImageFile runtime;
            runtime.open((folder + "msvcp60.dll").c_str());
            const std::vector<ExportedFunction> raw = runtime.View().ReadExports(asIs);
            ClModuleIX shown;
            shown.Load(runtime.View());
            REQUIRE(raw.size() == shown.Exports().size());
            int plain = 0, decorated = 0;
            for (size_t i = 0; i < raw.size(); ++i) {
                const std::string& name = raw[i].strName;
                char buffer[2048] = {};
                if (name[0] == '?') {
                    ++decorated;
                    CHECK(shown.Exports()[i].strName != name);
                    continue;
                }
                ++plain;
                const DWORD length = imageHelp.UnDecorateSymbolName(name.c_str(), buffer, 2047, 0);
                CHECK((length == 0 || name == buffer));
                CHECK(shown.Exports()[i].strName == name);
            }
            CHECK(plain > 10);
            CHECK(decorated > 100);
        }

        // The closure reads its first node from a view the caller mapped.
        MappedImageFile cmd;
        cmd.open((folder + "cmd.exe").c_str());
        ImportClosure fromPath, fromView;
        REQUIRE(fromPath.walk((folder + "cmd.exe").c_str()));
        REQUIRE(fromView.walk((folder + "cmd.exe").c_str(), cmd.View()));
        REQUIRE(fromPath.Count() == fromView.Count());
        for (size_t i = 0; i < fromPath.Count(); ++i)
            CHECK(fromPath.Nodes()[i].strFullPath == fromView.Nodes()[i].strFullPath);

        ClModuleIX version;
        version.Load((folder + "version.dll").c_str());
        REQUIRE_FALSE(version.Exports().empty());
        CHECK(version.Exports()[0].strName == "GetFileVersionInfoA");
        bool importsGetProcAddress = false;
        for (const ImportedModule& module : version.Imports())
            for (const ImportedFunction& function : module.functions)
                if (module.strName == "kernel32.dll" && function.strName == "GetProcAddress"
                    && function.dwValue == 547)
                    importsGetProcAddress = true;
        CHECK(importsGetProcAddress);
    }
}
