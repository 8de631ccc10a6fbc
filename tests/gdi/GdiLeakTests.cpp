#include <doctest/doctest.h>

#include "tests/TestPaths.h"
#include "tests/gdi/GdiTestSupport.h"

#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

using namespace GdiTest;

namespace {

// Handles the DLL has created and not yet deleted, seen through its own
// import table: every GDI object and DC it makes is recorded, every
// deletion struck off.
std::set<HANDLE> g_live;
int g_created = 0;

template <class T>
T Track(T handle)
{
    if (handle) {
        g_live.insert(handle);
        ++g_created;
    }
    return handle;
}

HDC WINAPI HookCreateCompatibleDC(HDC dc) { return Track(CreateCompatibleDC(dc)); }
HBITMAP WINAPI HookCreateCompatibleBitmap(HDC dc, int w, int h) { return Track(CreateCompatibleBitmap(dc, w, h)); }
HBITMAP WINAPI HookCreateBitmap(int w, int h, UINT planes, UINT bits, const void* data)
{
    return Track(CreateBitmap(w, h, planes, bits, data));
}
HBRUSH WINAPI HookCreateSolidBrush(COLORREF color) { return Track(CreateSolidBrush(color)); }
HPEN WINAPI HookCreatePen(int style, int width, COLORREF color) { return Track(CreatePen(style, width, color)); }
HPALETTE WINAPI HookCreatePalette(const LOGPALETTE* palette) { return Track(CreatePalette(palette)); }
HBITMAP WINAPI HookCreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                                  const BITMAPINFO* info, UINT usage)
{
    return Track(CreateDIBitmap(dc, header, init, bits, info, usage));
}
HDC WINAPI HookGetDC(HWND window) { return Track(GetDC(window)); }
int WINAPI HookReleaseDC(HWND window, HDC dc)
{
    g_live.erase(dc);
    return ReleaseDC(window, dc);
}
BOOL WINAPI HookDeleteDC(HDC dc)
{
    g_live.erase(dc);
    return DeleteDC(dc);
}
BOOL WINAPI HookDeleteObject(HGDIOBJ object)
{
    g_live.erase(object);
    return DeleteObject(object);
}
HANDLE WINAPI HookCreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                              DWORD disposition, DWORD flags, HANDLE tmpl)
{
    HANDLE file = CreateFileA(path, access, share, security, disposition, flags, tmpl);
    return file == INVALID_HANDLE_VALUE ? file : Track(file);
}
BOOL WINAPI HookCloseHandle(HANDLE handle)
{
    g_live.erase(handle);
    return CloseHandle(handle);
}

struct Hook {
    const char* name;
    void* replacement;
};

const Hook kHooks[] = {
    {"CreateCompatibleDC", reinterpret_cast<void*>(HookCreateCompatibleDC)},
    {"CreateCompatibleBitmap", reinterpret_cast<void*>(HookCreateCompatibleBitmap)},
    {"CreateBitmap", reinterpret_cast<void*>(HookCreateBitmap)},
    {"CreateSolidBrush", reinterpret_cast<void*>(HookCreateSolidBrush)},
    {"CreatePen", reinterpret_cast<void*>(HookCreatePen)},
    {"CreatePalette", reinterpret_cast<void*>(HookCreatePalette)},
    {"CreateDIBitmap", reinterpret_cast<void*>(HookCreateDIBitmap)},
    {"GetDC", reinterpret_cast<void*>(HookGetDC)},
    {"ReleaseDC", reinterpret_cast<void*>(HookReleaseDC)},
    {"DeleteDC", reinterpret_cast<void*>(HookDeleteDC)},
    {"DeleteObject", reinterpret_cast<void*>(HookDeleteObject)},
    {"CreateFileA", reinterpret_cast<void*>(HookCreateFileA)},
    {"CloseHandle", reinterpret_cast<void*>(HookCloseHandle)},
};

// Points the DLL's import slots of the functions above at the hooks while it lives.
class ImportHooks {
public:
    explicit ImportHooks(HMODULE module) : patched(0)
    {
        BYTE* base = reinterpret_cast<BYTE*>(module);
        const IMAGE_NT_HEADERS* nt =
            reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
             import->Name; ++import) {
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                const char* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
                for (const Hook& hook : kHooks)
                    if (std::strcmp(name, hook.name) == 0) Patch(slots, reinterpret_cast<ULONG_PTR>(hook.replacement));
            }
        }
    }
    ~ImportHooks()
    {
        for (auto& saved : originals) Write(saved.first, saved.second);
    }
    int patched;

private:
    void Patch(IMAGE_THUNK_DATA* slot, ULONG_PTR value)
    {
        originals.push_back({slot, slot->u1.Function});
        Write(slot, value);
        ++patched;
    }
    static void Write(IMAGE_THUNK_DATA* slot, ULONG_PTR value)
    {
        DWORD protection = 0;
        VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection);
        slot->u1.Function = value;
        VirtualProtect(slot, sizeof(*slot), protection, &protection);
    }
    std::vector<std::pair<IMAGE_THUNK_DATA*, ULONG_PTR>> originals;
};

// What a drawing function must leave as it found it in the caller's DC.
struct DcState {
    explicit DcState(HDC dc)
        : pen(GetCurrentObject(dc, OBJ_PEN)), brush(GetCurrentObject(dc, OBJ_BRUSH)),
          font(GetCurrentObject(dc, OBJ_FONT)), bitmap(GetCurrentObject(dc, OBJ_BITMAP)),
          palette(GetCurrentObject(dc, OBJ_PAL)), back(GetBkColor(dc)), text(GetTextColor(dc)),
          backMode(GetBkMode(dc)), rop(GetROP2(dc)), mapMode(GetMapMode(dc)), align(GetTextAlign(dc))
    {
        GetCurrentPositionEx(dc, &position);
    }
    bool operator==(const DcState& o) const
    {
        return pen == o.pen && brush == o.brush && font == o.font && bitmap == o.bitmap && palette == o.palette &&
               back == o.back && text == o.text && backMode == o.backMode && rop == o.rop &&
               mapMode == o.mapMode && align == o.align && position.x == o.position.x &&
               position.y == o.position.y;
    }
    HGDIOBJ pen, brush, font, bitmap, palette;
    COLORREF back, text;
    int backMode, rop, mapMode;
    UINT align;
    POINT position;
};

} // namespace

TEST_SUITE("gdi utils")
{
    TEST_CASE("every function deletes what it creates and leaves the caller's DC as it was")
    {
        GdiUtilsDll dll;
        REQUIRE(dll.module != nullptr);
        const std::string folder = TestPaths::MakeScratchFolder("gdi-leak");
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        std::vector<COLORREF> pixels(16 * 16, face);
        pixels[5] = RGB(0, 0, 0);
        pixels[40] = RGB(255, 0, 255);
        HBITMAP bitmap = MakeBitmap(16, 16, pixels.data());
        HICON icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        HFONT font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
        const RECT rect = {2, 2, 30, 20};
        const std::string path = folder + "leak.bmp";

        // Each entry returns the object it hands to the caller, if any.
        const std::vector<std::pair<const char*, std::function<HANDLE(HDC)>>> calls = {
            {"SaveBitmapFile", [&](HDC dc) { dll.At<SaveBitmapFileFn>(6)(dc, bitmap, path.c_str()); return HANDLE(); }},
            {"LoadPaletteBitmap",
             [&](HDC) { return HANDLE(dll.At<LoadPaletteBitmapFn>(7)(GetModuleHandleA(nullptr), "GDITEST_PAL8")); }},
            {"DrawTransparentBitmap", [&](HDC dc) { dll.At<DrawTransparentBitmapFn>(9)(dc, bitmap, 1, 1); return HANDLE(); }},
            {"DrawEtchedRect", [&](HDC dc) { dll.At<DrawEtchedRectFn>(15)(dc, &rect); return HANDLE(); }},
            {"DrawSunkenEdge", [&](HDC dc) { dll.At<DrawSunkenEdgeFn>(16)(dc, &rect); return HANDLE(); }},
            {"DrawFrame", [&](HDC dc) { dll.At<DrawFrameFn>(17)(dc, RGB(1, 2, 3), &rect, 2); return HANDLE(); }},
            {"FillGradientH", [&](HDC dc) { dll.At<FillGradientFn>(18)(dc, &rect, 0, 0xFFFFFF); return HANDLE(); }},
            {"FillGradientV", [&](HDC dc) { dll.At<FillGradientFn>(19)(dc, &rect, 0, 0xFFFFFF); return HANDLE(); }},
            {"GetTextExtent", [&](HDC dc) { SIZE s; dll.At<GetTextExtentFn>(22)(dc, font, "abc", &s); return HANDLE(); }},
            {"FillSolidRect", [&](HDC dc) { dll.At<FillSolidRectFn>(24)(dc, 1, 1, 5, 5, 0x123456); return HANDLE(); }},
            {"Draw3dRect", [&](HDC dc) { dll.At<Draw3dRectFn>(25)(dc, &rect, 0xFF, 0xFF00); return HANDLE(); }},
            {"IconToBitmap", [&](HDC) { return HANDLE(dll.At<IconToBitmapFn>(26)(icon)); }},
            {"DrawEmbossedBitmap",
             [&](HDC dc) { dll.At<DrawEmbossedBitmapFn>(27)(dc, 1, 1, 16, 16, bitmap, 0, 0, face); return HANDLE(); }},
            {"DrawGreyedBitmap", [&](HDC dc) { dll.At<DrawGreyedBitmapFn>(28)(dc, bitmap, 0); return HANDLE(); }},
            {"DrawCheckBox", [&](HDC dc) { dll.At<DrawCheckBoxFn>(29)(dc, &rect); return HANDLE(); }},
            {"DrawCheckMark", [&](HDC dc) { dll.At<DrawCheckMarkFn>(30)(dc, 3, 3, 0xFF, FALSE); return HANDLE(); }},
            {"DrawMenuCheck", [&](HDC dc) { dll.At<DrawMenuCheckFn>(31)(dc, &rect, 0xFF0000, TRUE); return HANDLE(); }},
            {"GreyBitmap", [&](HDC) { dll.At<GreyBitmapFn>(33)(bitmap, RGB(9, 9, 9)); return HANDLE(); }},
        };

        typedef DWORD(WINAPI * GetGuiResourcesFn)(HANDLE, DWORD);
        auto guiResources = reinterpret_cast<GetGuiResourcesFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetGuiResources")));
        const bool canCount = guiResources && guiResources(GetCurrentProcess(), 0 /* GR_GDIOBJECTS */) != 0;
        if (!canCount) MESSAGE("no GDI object count here: checking the DLL's own creations and deletions only");

        Canvas canvas(40, 30, RGB(50, 60, 70));
        SetBkColor(canvas.dc, RGB(11, 12, 13));
        SetTextColor(canvas.dc, RGB(21, 22, 23));
        SetBkMode(canvas.dc, TRANSPARENT);
        MoveToEx(canvas.dc, 7, 8, nullptr);

        int createdInAll = 0;
        for (const auto& call : calls) {
            const std::string name = call.first;
            CAPTURE(name);
            {
                ImportHooks hooks(dll.module);
                REQUIRE(hooks.patched >= 10);
                g_live.clear();
                g_created = 0;
                const DcState before(canvas.dc);
                HANDLE result = call.second(canvas.dc);
                CHECK(DcState(canvas.dc) == before);
                if (result) {
                    CHECK(g_live.count(result) == 1);
                    g_live.erase(result);
                    DeleteObject(result);
                }
                CHECK(g_live.empty());
                createdInAll += g_created;
            }
            if (canCount) {
                const DWORD start = guiResources(GetCurrentProcess(), 0);
                for (int i = 0; i < 200; ++i) {
                    HANDLE result = call.second(canvas.dc);
                    if (result) DeleteObject(result);
                }
                CHECK(guiResources(GetCurrentProcess(), 0) <= start);
            }
        }

        // The hooks did see the DLL at work.
        CHECK(createdInAll > 40);
        DeleteObject(bitmap);
        TestPaths::RemoveTree(folder);
    }
}
