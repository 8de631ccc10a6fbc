// libFuzzer entry: every table of an arbitrary file, PE32 or PE32+, is read
// without a fault: imports, exports, the closure's DLL names and the resource directory.
#include "image/PeImageView.h"
#include "image/PeResourceWalker.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy, so that any read past the end is caught.
    std::vector<uint8_t> copy(data, data + size);
    PeImageView view(copy.data(), copy.size());
    view.ReadImports([](const std::string& name, size_t) { return name; });
    view.ReadExports();
    view.ImportedDllNames();
    PeSection section;
    view.SectionByName(".edata", section);
    // The 32-bit base answers exactly when the full one fits, and agrees with it.
    uint32_t base = 0;
    uint64_t wideBase = 0;
    const bool fits = view.ImageBase64(wideBase) && wideBase <= 0xFFFFFFFFu;
    if (view.ImageBase(base) != fits || (fits && base != wideBase)) __builtin_trap();
    PeResourceWalker resources(view);
    for (const PeResourceType& type : resources.Types())
        if (type.bNumeric && type.nCount == 0xFFFFFFFFu) __builtin_trap();  // counts come from 16-bit fields
    const uint8_t* bytes = nullptr;
    size_t length = 0;
    if (resources.FirstData(16, bytes, length) && (bytes < copy.data() || bytes + length > copy.data() + copy.size()))
        __builtin_trap();
    return 0;
}
