// Times the engine on hostile input: the wildcard matcher's worst cases and
// import-table bombs (read and closure), with the sizes they expand to.
//   hostile-bench [SCRATCH-FOLDER]
#include "tests/PeBuilder.h"
#include "image/ClModuleIX.h"
#include "image/ImportClosure.h"
#include "tools/WildcardMatch.h"

#include <windows.h>
#include <psapi.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Now()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

void Matcher(const char* label, const std::string& pattern, const std::string& name, int repeats)
{
    bool matched = false;
    const double start = Now();
    for (int i = 0; i < repeats; ++i) matched = WildcardMatch::Matches(pattern.c_str(), name.c_str());
    const double each = (Now() - start) / repeats;
    std::printf("matcher %-34s %5zu pattern, %5zu name characters: %s, %.1f us each\n", label, pattern.size(),
                name.size(), matched ? "match" : "no match", each * 1e6);
}

std::string Write(const std::string& path, const PeBuilder& builder)
{
    const std::vector<uint8_t> image = builder.Build();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        std::fwrite(image.data(), 1, image.size(), file);
        std::fclose(file);
    }
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = argc > 1 ? argv[1] : temp;

    Matcher("8 stars, 60 a, no match", "*a*a*a*a*a*a*a*a*b", std::string(60, 'a'), 1000);
    Matcher("8 stars, 60 a, match", "*a*a*a*a*a*a*a*a*b", std::string(60, 'a') + "b", 1000);
    std::string stars;
    for (int i = 0; i < 200; ++i) stars += "*a";
    Matcher("200 stars, 2,000 a, no match", stars + "b", std::string(2000, 'a'), 20);
    Matcher("*.dll against a module name", "*.dll", "kernel32.dll", 100000);

    // 1,000 descriptors sharing one list of 100,000 thunks.
    PeBuilder bomb;
    bomb.imports.push_back({"KERNEL32.dll", std::vector<PeBuilder::ImportFunction>(100000, {true, 1, ""})});
    bomb.dwRepeatDescriptors = 1000;
    const std::string bombPath = Write(folder + "\\tw-import-bomb.dll", bomb);
    double start = Now();
    ClModuleIX tables;
    tables.Load(bombPath.c_str());
    size_t entries = 0;
    for (const ImportedModule& module : tables.Imports()) entries += module.functions.size();
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("import bomb (1,000 x 100,000 thunks): %zu entries kept%s, %.3f s, peak working set %.1f MB\n",
                entries, tables.ImportsTruncated() ? " (cut)" : "", Now() - start,
                memory.PeakWorkingSetSize / 1048576.0);

    // One missing DLL named by 100,000 descriptors.
    PeBuilder many;
    many.imports.push_back({"twnowhere.dll", {{true, 1, ""}}});
    many.dwRepeatDescriptors = 100000;
    const std::string manyPath = Write(folder + "\\tw-many-missing.exe", many);
    start = Now();
    ImportClosure closure;
    closure.walk(manyPath.c_str());
    size_t missing = 0;
    for (const ClosureModule& node : closure.Nodes()) missing += node.missing.size();
    std::printf("closure over 100,000 descriptors of one missing DLL: %zu missing name(s), %.3f s\n", missing,
                Now() - start);
    DeleteFileA(bombPath.c_str());
    DeleteFileA(manyPath.c_str());
    return 0;
}
