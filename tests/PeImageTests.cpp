#include <doctest/doctest.h>

#include "tests/PeBuilder.h"
#include "image/PeImageView.h"
#include "image/PeResourceWalker.h"

#include <cstring>

namespace {

PeBuilder SampleImports()
{
    PeBuilder b;
    b.imports.push_back({"KERNEL32.dll", {{false, 0x1F4, "GetProcAddress"}, {true, 17, ""}, {false, 3, "Sleep"}}});
    b.imports.push_back({"user32.dll", {{true, 0x1234, ""}}, false});
    return b;
}

PeBuilder SampleExports()
{
    PeBuilder b;
    b.bHasExports = true;
    b.exports.dwBase = 5;
    // index 0 named twice, 1 unnamed, 2 hole, 3 forwarded, 4 named
    b.exports.functions = {"f", "f", "", "->OTHER.RealName", "f"};
    b.exports.names = {{"First", 0}, {"Second", 0}, {"Fwd", 3}, {"Last", 4}};
    return b;
}

void Put32(std::vector<uint8_t>& image, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Reading a (possibly broken) image must never fault: read every table.
void ReadAll(const std::vector<uint8_t>& image)
{
    PeImageView view(image.data(), image.size());
    view.ReadImports();
    view.ReadExports();
    view.ImportedDllNames();
    PeSection section;
    view.SectionByName(".idata", section);
    uint32_t base;
    view.ImageBase(base);
    uint64_t wideBase;
    view.ImageBase64(wideBase);
    PeResourceWalker resources(view);
    resources.Types();
    const uint8_t* data;
    size_t size;
    resources.FirstData(16, data, size);
}

// Resource directory bytes, offsets counted from the directory's first byte.
class ResourceBytes {
public:
    // A directory header with its two counts; returns its offset.
    size_t Directory(uint16_t named, uint16_t ids)
    {
        const size_t at = bytes.size();
        bytes.resize(at + 16, 0);
        Put16(at + 12, named);
        Put16(at + 14, ids);
        return at;
    }
    void Entry(uint32_t nameField, uint32_t dataField)
    {
        const size_t at = bytes.size();
        bytes.resize(at + 8, 0);
        Put32(at, nameField);
        Put32(at + 4, dataField);
    }
    // A counted UTF-16 name; returns its offset.
    size_t Name(const std::u16string& text)
    {
        const size_t at = bytes.size();
        bytes.resize(at + 2 + 2 * text.size(), 0);
        Put16(at, static_cast<uint16_t>(text.size()));
        for (size_t i = 0; i < text.size(); ++i) Put16(at + 2 + 2 * i, text[i]);
        return at;
    }
    void Put16(size_t at, uint16_t v)
    {
        bytes[at] = static_cast<uint8_t>(v);
        bytes[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    void Put32(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    std::vector<uint8_t> bytes;
};

const uint32_t kSubdirectory = 0x80000000u;

// Types of an image whose resource section holds `bytes`, read from an exact-size copy.
std::vector<PeResourceType> TypesOf(const std::vector<uint8_t>& bytes)
{
    PeBuilder b;
    b.resourceSection = bytes;
    std::vector<uint8_t> image = b.Build();
    image.shrink_to_fit();
    PeImageView view(image.data(), image.size());
    return PeResourceWalker(view).Types();
}

// A well-formed directory: "PNG" (3 names), RT_ICON (2 names), RT_VERSION (1 name).
ResourceBytes SampleResources()
{
    ResourceBytes r;
    r.Directory(1, 2);
    r.Entry(0, 0);  // patched below
    r.Entry(3, 0);
    r.Entry(16, 0);
    const size_t png = r.Directory(1, 2);
    r.Entry(0x80000000u | 0, 0);
    r.Entry(1, 0);
    r.Entry(2, 0);
    const size_t icon = r.Directory(0, 2);
    r.Entry(1, 0);
    r.Entry(2, 0);
    const size_t version = r.Directory(0, 1);
    r.Entry(1, 0);
    const size_t name = r.Name(u"PNG");
    r.Put32(16, 0x80000000u | static_cast<uint32_t>(name));
    r.Put32(20, kSubdirectory | static_cast<uint32_t>(png));
    r.Put32(28, kSubdirectory | static_cast<uint32_t>(icon));
    r.Put32(36, kSubdirectory | static_cast<uint32_t>(version));
    return r;
}

} // namespace

TEST_SUITE("pe image")
{
    TEST_CASE("classification of non-PE files")
    {
        std::vector<uint8_t> small(63, 0);
        small[0] = 'M';
        small[1] = 'Z';
        PeImageView tooSmall(small.data(), small.size());
        CHECK(tooSmall.ImageState() == 2);
        CHECK(tooSmall.Kind() == 0);

        std::vector<uint8_t> text(200, 'x');
        CHECK(PeImageView(text.data(), text.size()).ImageState() == 2);
        CHECK(PeImageView(nullptr, 0).ImageState() == 1);

        // A DOS program: relocation table below 0x40, even with a PE header behind it.
        std::vector<uint8_t> image = PeBuilder().Build();
        image[0x18] = 0x1C;
        PeImageView dos(image.data(), image.size());
        CHECK(dos.Kind() == 1);
        CHECK(dos.ImageState() == 2);
        CHECK(dos.NtHeaders() == nullptr);

        // NE, LE and the 0x4558 signature.
        for (auto pair : {std::make_pair(0x454E, 2u), std::make_pair(0x454C, 3u), std::make_pair(0x4558, 4u)}) {
            image = PeBuilder().Build();
            image[PeBuilder::kHeaderOffset] = static_cast<uint8_t>(pair.first);
            image[PeBuilder::kHeaderOffset + 1] = static_cast<uint8_t>(pair.first >> 8);
            PeImageView view(image.data(), image.size());
            CHECK(view.Kind() == pair.second);
            CHECK(view.HeaderOffset() == static_cast<int32_t>(PeBuilder::kHeaderOffset));
            CHECK_FALSE(view.IsPE());
        }

        // e_lfanew past the end, and negative.
        image = PeBuilder().Build();
        Put32(image, 0x3C, static_cast<uint32_t>(image.size() + 1));
        CHECK(PeImageView(image.data(), image.size()).Kind() == 0);
        Put32(image, 0x3C, 0xFFFFFFF0u);
        CHECK(PeImageView(image.data(), image.size()).Kind() == 0);
        // e_lfanew exactly at the end: nothing to read there.
        Put32(image, 0x3C, static_cast<uint32_t>(image.size()));
        CHECK(PeImageView(image.data(), image.size()).Kind() == 0);

        image = PeBuilder().Build();
        PeImageView pe(image.data(), image.size());
        CHECK(pe.Kind() == 5);
        CHECK(pe.ImageState() == 0);
        CHECK(pe.NtHeaders() == image.data() + PeBuilder::kHeaderOffset);
        uint32_t base = 0;
        CHECK(pe.ImageBase(base));
        CHECK(base == 0x10000000u);
    }

    TEST_CASE("imports by name and by ordinal, in descriptor and thunk order")
    {
        std::vector<uint8_t> image = SampleImports().Build();
        PeImageView view(image.data(), image.size());
        std::vector<ImportedModule> modules = view.ReadImports();
        REQUIRE(modules.size() == 2);
        CHECK(modules[0].strName == "KERNEL32.dll");
        REQUIRE(modules[0].functions.size() == 3);
        CHECK(modules[0].functions[0].dwValue == 0x1F4);
        CHECK(modules[0].functions[0].strName == "GetProcAddress");
        CHECK(modules[0].functions[1].dwValue == 17);
        CHECK(modules[0].functions[1].strName == "N/A");
        CHECK(modules[0].functions[2].strName == "Sleep");
        // Without OriginalFirstThunk the FirstThunk array is read.
        CHECK(modules[1].strName == "user32.dll");
        REQUIRE(modules[1].functions.size() == 1);
        CHECK(modules[1].functions[0].dwValue == 0x1234);

        CHECK(view.ImportedDllNames() == std::vector<std::string>{"KERNEL32.dll", "user32.dll"});
    }

    TEST_CASE("the undecorator replaces names only when it answers")
    {
        PeBuilder b = SampleImports();
        std::vector<uint8_t> image = b.Build();
        PeImageView view(image.data(), image.size());
        size_t seenBuffer = 0;
        auto modules = view.ReadImports([&](const std::string& name, size_t buffer) {
            seenBuffer = buffer;
            return name == "Sleep" ? std::string("void Sleep(int)") : std::string();
        });
        CHECK(seenBuffer == 1039);
        CHECK(modules[0].functions[0].strName == "GetProcAddress");
        CHECK(modules[0].functions[2].strName == "void Sleep(int)");
    }

    TEST_CASE("exports: holes, unnamed, forwarded, two names for one function")
    {
        std::vector<uint8_t> image = SampleExports().Build();
        PeImageView view(image.data(), image.size());
        std::vector<ExportedFunction> exports = view.ReadExports();
        REQUIRE(exports.size() == 4);
        CHECK(exports[0].dwOrdinal == 5);
        CHECK(exports[0].strName == "Second");  // the later name wins
        CHECK(exports[1].dwOrdinal == 6);
        CHECK(exports[1].strName == "N/A");
        CHECK(exports[2].dwOrdinal == 8);  // ordinal 7 is a hole
        CHECK(exports[2].strName == "Fwd -> OTHER.RealName");
        CHECK(exports[3].dwOrdinal == 9);
        CHECK(exports[3].strName == "Last");

        size_t seenBuffer = 0;
        auto undecorated = view.ReadExports([&](const std::string& name, size_t buffer) {
            seenBuffer = buffer;
            return "<" + name + ">";
        });
        CHECK(seenBuffer == 2047);
        CHECK(undecorated[2].strName == "<Fwd> -> <OTHER.RealName>");
        CHECK(undecorated[1].strName == "N/A");
    }

    TEST_CASE("a section with VirtualSize 0 is read through the directory size")
    {
        PeBuilder b = SampleImports();
        b.bHasExports = true;
        b.exports = SampleExports().exports;
        b.bVirtualSizeZero = true;
        b.bImportSizeIsSectionSize = true;

        b.strSectionName = ".idata";
        std::vector<uint8_t> image = b.Build();
        PeImageView idata(image.data(), image.size());
        CHECK(idata.PointerFromRva(PeBuilder::kSectionRva) == nullptr);  // plain rule sees nothing
        auto modules = idata.ReadImports();
        REQUIRE(modules.size() == 2);
        CHECK(modules[0].functions.size() == 3);
        // The export table is not in an ".edata" section: no bound for it.
        CHECK(idata.ReadExports().empty());
        // The closure walk uses the plain rule only.
        CHECK(idata.ImportedDllNames().empty());

        b.strSectionName = ".EDATA";
        image = b.Build();
        PeImageView edata(image.data(), image.size());
        CHECK(edata.ReadExports().size() == 4);
    }

    TEST_CASE("section by name follows SizeOfOptionalHeader")
    {
        PeBuilder b = SampleImports();
        b.wOptionalHeaderSize = 240;  // 16 bytes more than the usual 224
        b.strSectionName = ".idata";
        b.bVirtualSizeZero = true;
        b.bImportSizeIsSectionSize = true;
        std::vector<uint8_t> image = b.Build();
        PeImageView view(image.data(), image.size());
        PeSection section;
        REQUIRE(view.SectionByName(".IDATA", section));
        CHECK(section.dwVirtualAddress == PeBuilder::kSectionRva);
        CHECK_FALSE(view.SectionByName(".text", section));
        // The bound found through the right table makes the imports readable.
        CHECK(view.ReadImports().size() == 2);
    }

    TEST_CASE("PE32+ images: 8-byte base and thunks, the data directory 16 bytes further on")
    {
        PeBuilder b;
        b.bPe32Plus = true;
        b.qwImageBase = 0x0000000140000000ull;
        // Ordinal 0 leaves the thunk's low half zero: only a 64-bit read sees it.
        b.imports.push_back({"KERNEL32.dll", {{true, 0x0102, ""}, {false, 0x1F4, "GetProcAddress"}, {true, 0, ""}}});
        b.bHasExports = true;
        b.exports = SampleExports().exports;
        b.resourceSection = SampleResources().bytes;
        const std::vector<uint8_t> image = b.Build();

        // The layout as written, checked by hand: machine, header size, magic, base.
        const size_t nt = PeBuilder::kHeaderOffset;
        REQUIRE(image[nt + 4] == 0x64);
        REQUIRE(image[nt + 5] == 0x86);
        REQUIRE(image[nt + 20] == 240);
        REQUIRE(image[nt + 24] == 0x0B);
        REQUIRE(image[nt + 25] == 0x02);
        REQUIRE(image[nt + 24 + 28] == 0x01);  // the high half of the base

        PeImageView view(image.data(), image.size());
        CHECK(view.IsPE());
        CHECK(view.IsPE32Plus());
        uint64_t base64 = 0;
        CHECK(view.ImageBase64(base64));
        CHECK(base64 == 0x140000000ull);
        uint32_t base = 0x1234;
        CHECK_FALSE(view.ImageBase(base));  // above 4 GB: no 32-bit answer
        CHECK(base == 0x1234);
        uint16_t subsystem = 0, major = 0, minor = 9;
        CHECK((view.Subsystem(subsystem) && subsystem == 2));
        CHECK((view.SubsystemVersion(major, minor) && major == 4 && minor == 0));

        const std::vector<ImportedModule> modules = view.ReadImports();
        REQUIRE(modules.size() == 1);
        CHECK(modules[0].strName == "KERNEL32.dll");
        REQUIRE(modules[0].functions.size() == 3);
        const ImportedFunction& byOrdinal = modules[0].functions[0];
        CHECK(byOrdinal.bByOrdinal == 1);
        CHECK(byOrdinal.dwValue == 0x0102);
        CHECK(byOrdinal.strName == "N/A");
        const ImportedFunction& byName = modules[0].functions[1];
        CHECK(byName.bNamed == 1);
        CHECK(byName.dwValue == 0x1F4);
        CHECK(byName.strName == "GetProcAddress");
        CHECK(modules[0].functions[2].bByOrdinal == 1);
        CHECK(modules[0].functions[2].dwValue == 0);
        CHECK(view.ImportedDllNames() == std::vector<std::string>{"KERNEL32.dll"});

        const std::vector<ExportedFunction> exports = view.ReadExports();
        REQUIRE(exports.size() == 4);
        CHECK(exports[0].dwOrdinal == 5);
        CHECK(exports[0].strName == "Second");
        CHECK(exports[1].strName == "N/A");
        CHECK(exports[2].dwOrdinal == 8);
        CHECK(exports[2].strName == "Fwd -> OTHER.RealName");
        CHECK(exports[3].strName == "Last");
        CHECK(PeResourceWalker(view).Types().size() == 3);

        // A base below 4 GB answers through both.
        b.qwImageBase = 0x00400000;
        const std::vector<uint8_t> low = b.Build();
        PeImageView lowView(low.data(), low.size());
        CHECK(lowView.ImageBase(base));
        CHECK(base == 0x00400000u);
        CHECK((lowView.ImageBase64(base64) && base64 == 0x00400000u));

        // Directories that point past the end of the file give nothing.
        for (uint32_t rva : {static_cast<uint32_t>(PeBuilder::kSectionRva + image.size()), 0x7FFFFFF0u, 0xFFFFFFF8u}) {
            CAPTURE(rva);
            std::vector<uint8_t> far = image;
            for (unsigned directory = 0; directory < 3; ++directory)
                Put32(far, b.DirectoryEntryOffset(directory), rva);
            far.shrink_to_fit();
            PeImageView farView(far.data(), far.size());
            CHECK(farView.DirectoryPointer(1) == nullptr);
            CHECK(farView.ReadImports().empty());
            CHECK(farView.ReadExports().empty());
            CHECK(farView.ImportedDllNames().empty());
            CHECK(PeResourceWalker(farView).Types().empty());
        }
    }

    TEST_CASE("truncation at every byte of the headers and tables reads quietly")
    {
        PeBuilder b = SampleImports();
        b.bHasExports = true;
        b.exports = SampleExports().exports;
        // Every length up to the end of the tables, each in an exact-size buffer
        // so that a read past the end would leave the allocation; both kinds.
        for (bool wide : {false, true}) {
            CAPTURE(wide);
            b.bPe32Plus = wide;
            const std::vector<uint8_t> full = b.Build();
            for (size_t length = 0; length <= full.size(); ++length) {
                std::vector<uint8_t> cut(full.begin(), full.begin() + length);
                cut.shrink_to_fit();
                ReadAll(cut);
            }
        }
        b.bPe32Plus = false;
        const std::vector<uint8_t> full = b.Build();
        // A cut inside the tables keeps what was read before the cut.
        std::vector<uint8_t> cut(full.begin(), full.end() - 0x10);
        PeImageView view(cut.data(), cut.size());
        CHECK(view.IsPE());
    }

    TEST_CASE("absurd counts, offsets and directories")
    {
        PeBuilder b = SampleImports();
        b.bHasExports = true;
        b.exports = SampleExports().exports;
        const std::vector<uint8_t> good = b.Build();
        const uint32_t nt = PeBuilder::kHeaderOffset;
        PeImageView reference(good.data(), good.size());
        const uint32_t exportRva = reference.DirectoryRva(0);
        const uint32_t exportOffset = exportRva - PeBuilder::kSectionRva + 0x400;

        struct Patch {
            const char* what;
            size_t offset;
            uint32_t value;
            int width;
        };
        const Patch patches[] = {
            {"NumberOfSections 0xFFFF", nt + 6, 0xFFFF, 2},
            {"SizeOfOptionalHeader 0xFFFF", nt + 20, 0xFFFF, 2},
            {"export directory far away", nt + 0x78, 0x7FFFFFF0, 4},
            {"import directory far away", nt + 0x80, 0xFFFFFFF0, 4},
            {"import size huge", nt + 0x84, 0xFFFFFFFF, 4},
            {"export size huge", nt + 0x7C, 0xFFFFFFFF, 4},
            {"NumberOfFunctions huge", exportOffset + 20, 0xFFFFFFFF, 4},
            {"NumberOfNames huge", exportOffset + 24, 0xFFFFFFFF, 4},
            {"AddressOfFunctions outside", exportOffset + 28, 0x00FFFFFF, 4},
            {"AddressOfNames outside", exportOffset + 32, 0x00FFFFFF, 4},
            {"AddressOfNameOrdinals outside", exportOffset + 36, 0x00FFFFFF, 4},
            {"section raw pointer past the end", nt + 24 + 224 + 20, 0x7FFFFFFF, 4},
            {"section raw size huge", nt + 24 + 224 + 16, 0xFFFFFFFF, 4},
            {"section virtual size huge", nt + 24 + 224 + 8, 0xFFFFFFFF, 4},
            {"section at the top of the address space", nt + 24 + 224 + 12, 0xFFFFFF00, 4},
        };
        for (const Patch& patch : patches) {
            CAPTURE(patch.what);
            std::vector<uint8_t> image = good;
            for (int i = 0; i < patch.width; ++i) image[patch.offset + i] = static_cast<uint8_t>(patch.value >> (8 * i));
            // With the section table moved or grown the huge raw size makes
            // every RVA map past the file: those translations must fail.
            ReadAll(image);
        }

        // A run of thunks without terminator stops at the end of the file.
        std::vector<uint8_t> image = good;
        PeImageView view(image.data(), image.size());
        const std::vector<ImportedModule> before = view.ReadImports();
        CHECK(before.size() == 2);
    }

    TEST_CASE("a name without terminator is read up to the end of the file")
    {
        PeBuilder b;
        b.bHasExports = true;
        b.exports.functions = {"f"};
        b.exports.names = {{"Tail", 0}};
        std::vector<uint8_t> image = b.Build();
        // Cut the file right after "Tail" (drop its terminator and all behind it).
        PeImageView full(image.data(), image.size());
        const uint8_t* functions = full.PointerFromRva(full.DirectoryRva(0));
        REQUIRE(functions != nullptr);
        const uint8_t* found = nullptr;
        for (const uint8_t* p = image.data(); p + 4 <= image.data() + image.size(); ++p)
            if (std::memcmp(p, "Tail", 4) == 0) found = p;
        REQUIRE(found != nullptr);
        std::vector<uint8_t> cut(static_cast<const uint8_t*>(image.data()), found + 2);
        PeImageView view(cut.data(), cut.size());
        CHECK(view.ReadString(cut.data() + (found - image.data())) == "Ta");
    }

    TEST_CASE("resource types from the image's own directory")
    {
        const std::vector<PeResourceType> types = TypesOf(SampleResources().bytes);
        REQUIRE(types.size() == 3);
        CHECK_FALSE(types[0].bNumeric);
        CHECK(types[0].name == u"PNG");
        CHECK(types[0].nCount == 3);
        CHECK(types[1].bNumeric);
        CHECK(types[1].wId == 3);
        CHECK(types[1].nCount == 2);
        CHECK(types[2].wId == 16);
        CHECK(types[2].nCount == 1);

        // No resource directory at all, and an image without sections for it.
        CHECK(TypesOf({}).empty());
    }

    TEST_CASE("hostile resource directories give quiet partial or empty lists")
    {
        SUBCASE("a subdirectory that points back at the root")
        {
            ResourceBytes r;
            r.Directory(0, 2);
            r.Entry(5, kSubdirectory | 0);
            r.Entry(6, kSubdirectory | 0);
            const std::vector<PeResourceType> types = TypesOf(r.bytes);
            REQUIRE(types.size() == 2);
            CHECK(types[0].nCount == 2);  // the root's own entries, counted once
        }
        SUBCASE("counts larger than the section")
        {
            ResourceBytes r;
            r.Directory(0xFFFF, 0xFFFF);
            r.Entry(1, kSubdirectory | 0);
            r.Entry(2, 0x7FFFFFF0);
            // The entries the file holds, no more: everything after the header.
            const std::vector<PeResourceType> types = TypesOf(r.bytes);
            CHECK(types.size() == 2);
            CHECK(types[0].nCount == 2);
            CHECK(types[1].nCount == 0);  // a subdirectory beyond the file
        }
        SUBCASE("a name that runs off the end")
        {
            ResourceBytes r = SampleResources();
            const size_t name = r.Name(u"X");
            r.Put16(name, 0xFFFF);
            r.Put32(16, 0x80000000u | static_cast<uint32_t>(name));
            CHECK(TypesOf(r.bytes).empty());
            // A later entry with a name beyond the file keeps the ones before it.
            r = SampleResources();
            r.Put32(32, 0x80000000u | 0x7FFFFFFF);
            const std::vector<PeResourceType> types = TypesOf(r.bytes);
            REQUIRE(types.size() == 2);
            CHECK(types[1].wId == 3);
        }
        SUBCASE("a directory outside the file")
        {
            PeBuilder b;
            b.resourceSection = SampleResources().bytes;
            std::vector<uint8_t> image = b.Build();
            for (uint32_t rva : {0x7FFFFFF0u, 0xFFFFFFFFu, 0x1000u + 0x7FFFFu}) {
                CAPTURE(rva);
                for (int i = 0; i < 4; ++i)
                    image[PeBuilder::kResourceDirectoryEntry + i] = static_cast<uint8_t>(rva >> (8 * i));
                PeImageView view(image.data(), image.size());
                CHECK(PeResourceWalker(view).Types().empty());
            }
        }
        SUBCASE("cut at every byte of the directory")
        {
            PeBuilder b;
            b.resourceSection = SampleResources().bytes;
            const std::vector<uint8_t> full = b.Build();
            const size_t start = full.size() - b.resourceSection.size();
            size_t previous = 0;
            for (size_t length = start; length <= full.size(); ++length) {
                std::vector<uint8_t> cut(full.begin(), full.begin() + length);
                cut.shrink_to_fit();
                PeImageView view(cut.data(), cut.size());
                const size_t count = PeResourceWalker(view).Types().size();
                CHECK(count >= previous);  // a longer file never loses types
                previous = count;
            }
            CHECK(previous == 3);
        }
    }

    TEST_CASE("an import bomb expands to no more than the file can hold")
    {
        // 1,000 descriptors sharing one list of 100,000 thunks: 100 million
        // entries claimed by a file of about 820 KB.
        PeBuilder b;
        b.imports.push_back({"KERNEL32.dll", std::vector<PeBuilder::ImportFunction>(100000, {true, 1, ""})});
        b.dwRepeatDescriptors = 1000;
        b.bHasExports = true;
        b.exports.functions = {"f"};
        b.exports.names = {{"Kept", 0}};
        const std::vector<uint8_t> image = b.Build();
        PeImageView view(image.data(), image.size());
        CHECK(view.TableEntryLimit() == image.size() / 4);
        bool truncated = false;
        const std::vector<ImportedModule> imports = view.ReadImports(PeImageView::Undecorator(), &truncated);
        CHECK(truncated);
        size_t total = 0;
        for (const ImportedModule& module : imports) total += module.functions.size();
        CHECK(total == view.TableEntryLimit());
        CHECK(imports.size() < 1000);
        bool exportsTruncated = true;
        const std::vector<ExportedFunction> exports = view.ReadExports(PeImageView::Undecorator(), &exportsTruncated);
        CHECK_FALSE(exportsTruncated);
        REQUIRE(exports.size() == 1);
        CHECK(exports[0].strName == "Kept");

        // An ordinary file is never cut.
        const std::vector<uint8_t> sample = SampleImports().Build();
        PeImageView sampleView(sample.data(), sample.size());
        truncated = true;
        CHECK(sampleView.ReadImports(PeImageView::Undecorator(), &truncated).size() == 2);
        CHECK_FALSE(truncated);
    }
}
