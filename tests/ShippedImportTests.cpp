// The shipped 32-bit binaries' import tables, read on the build machine: the
// check that still runs where no 32-bit Wine can (make test runs this suite
// with TW_SHIPPED_BIN naming the 32-bit build's bin folder).
#include <doctest/doctest.h>

#include "tests/ImportRules.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ShippedFolder()
{
    const char* folder = std::getenv("TW_SHIPPED_BIN");
    REQUIRE_MESSAGE(folder, "TW_SHIPPED_BIN names the 32-bit build's bin folder");
    std::string path(folder);
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

} // namespace

TEST_SUITE("shipped binaries" * doctest::skip())
{
    TEST_CASE("32-bit images that load on Windows 95 and NT 4, bound to their own libraries by ordinal")
    {
        const std::string bin = ShippedFolder();
        for (const char* name : {"tarnwick.exe", "tarnwick-cli.exe", "OrvoSysUtils.dll", "OrvoGdiUtils.dll",
                                 "Plugins/SetPriority.dll", "Plugins/Checksums.dll",
                                 "Language/German_tarnwick.lang"}) {
            CAPTURE(name);
            const std::vector<uint8_t> bytes = ReadWhole(bin + name);
            REQUIRE(!bytes.empty());
            const PeImageView view(bytes.data(), bytes.size());
            REQUIRE(view.IsPE());
            CHECK_FALSE(view.IsPE32Plus());
            CHECK(ImportRules::LoadTimeProblems(view, name) == "");
        }

        const std::vector<uint8_t> program = ReadWhole(bin + "tarnwick.exe");
        const PeImageView view(program.data(), program.size());
        int byName = -1;
        CHECK(ImportRules::OwnLibraryImports(view, &byName) > 0);
        CHECK(byName == 0);
        CHECK(ImportRules::DrawingOrdinals(view) == ImportRules::DrawingOrdinalsUsed());

        const std::vector<uint8_t> library = ReadWhole(bin + "OrvoSysUtils.dll");
        const PeImageView sysUtils(library.data(), library.size());
        const std::vector<ExportedFunction> exports = sysUtils.ReadExports();
        REQUIRE(exports.size() == 44);
        for (size_t i = 0; i < exports.size(); ++i) {
            CHECK(exports[i].dwOrdinal == i + 1);
            CHECK(exports[i].strName == "N/A");
        }
    }
}
