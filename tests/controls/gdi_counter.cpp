#include "gdi_counter.h"

#include <cstring>
#include <mutex>
#include <set>
#include <string>

namespace {

std::mutex g_lock;
std::set<void*> g_live;

void Track(void* handle) {
    if (handle != nullptr) {
        std::lock_guard<std::mutex> hold(g_lock);
        g_live.insert(handle);
    }
}

void Untrack(void* handle) {
    std::lock_guard<std::mutex> hold(g_lock);
    g_live.erase(handle);
}

// The real functions, looked up by name; each counting version calls its own.
template <class Function> Function Real(const char* module, const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), name)));
}

HFONT WINAPI CountCreateFontIndirectA(const LOGFONTA* font) {
    static auto real = Real<decltype(&CreateFontIndirectA)>("gdi32.dll", "CreateFontIndirectA");
    HFONT made = real(font);
    Track(made);
    return made;
}

HBRUSH WINAPI CountCreateSolidBrush(COLORREF colour) {
    static auto real = Real<decltype(&CreateSolidBrush)>("gdi32.dll", "CreateSolidBrush");
    HBRUSH made = real(colour);
    Track(made);
    return made;
}

HPEN WINAPI CountCreatePen(int style, int width, COLORREF colour) {
    static auto real = Real<decltype(&CreatePen)>("gdi32.dll", "CreatePen");
    HPEN made = real(style, width, colour);
    Track(made);
    return made;
}

HRGN WINAPI CountCreateRectRgnIndirect(const RECT* rect) {
    static auto real = Real<decltype(&CreateRectRgnIndirect)>("gdi32.dll", "CreateRectRgnIndirect");
    HRGN made = real(rect);
    Track(made);
    return made;
}

HRGN WINAPI CountCreateRectRgn(int left, int top, int right, int bottom) {
    static auto real = Real<decltype(&CreateRectRgn)>("gdi32.dll", "CreateRectRgn");
    HRGN made = real(left, top, right, bottom);
    Track(made);
    return made;
}

HBITMAP WINAPI CountCreateCompatibleBitmap(HDC dc, int width, int height) {
    static auto real = Real<decltype(&CreateCompatibleBitmap)>("gdi32.dll", "CreateCompatibleBitmap");
    HBITMAP made = real(dc, width, height);
    Track(made);
    return made;
}

HDC WINAPI CountCreateCompatibleDC(HDC dc) {
    static auto real = Real<decltype(&CreateCompatibleDC)>("gdi32.dll", "CreateCompatibleDC");
    HDC made = real(dc);
    Track(made);
    return made;
}

BOOL WINAPI CountDeleteObject(HGDIOBJ object) {
    static auto real = Real<decltype(&DeleteObject)>("gdi32.dll", "DeleteObject");
    Untrack(object);
    return real(object);
}

BOOL WINAPI CountDeleteDC(HDC dc) {
    static auto real = Real<decltype(&DeleteDC)>("gdi32.dll", "DeleteDC");
    Untrack(dc);
    return real(dc);
}

HDC WINAPI CountGetWindowDC(HWND window) {
    static auto real = Real<decltype(&GetWindowDC)>("user32.dll", "GetWindowDC");
    HDC dc = real(window);
    Track(dc);
    return dc;
}

int WINAPI CountReleaseDC(HWND window, HDC dc) {
    static auto real = Real<decltype(&ReleaseDC)>("user32.dll", "ReleaseDC");
    Untrack(dc);
    return real(window, dc);
}

struct Redirection {
    const char* name;
    void* counting;
};

const Redirection kRedirections[] = {
    {"CreateFontIndirectA", reinterpret_cast<void*>(CountCreateFontIndirectA)},
    {"CreateSolidBrush", reinterpret_cast<void*>(CountCreateSolidBrush)},
    {"CreatePen", reinterpret_cast<void*>(CountCreatePen)},
    {"CreateRectRgnIndirect", reinterpret_cast<void*>(CountCreateRectRgnIndirect)},
    {"CreateRectRgn", reinterpret_cast<void*>(CountCreateRectRgn)},
    {"CreateCompatibleBitmap", reinterpret_cast<void*>(CountCreateCompatibleBitmap)},
    {"CreateCompatibleDC", reinterpret_cast<void*>(CountCreateCompatibleDC)},
    {"DeleteObject", reinterpret_cast<void*>(CountDeleteObject)},
    {"DeleteDC", reinterpret_cast<void*>(CountDeleteDC)},
    {"GetWindowDC", reinterpret_cast<void*>(CountGetWindowDC)},
    {"ReleaseDC", reinterpret_cast<void*>(CountReleaseDC)},
};

void* CountingVersion(const char* name) {
    for (const Redirection& redirection : kRedirections) {
        if (std::strcmp(redirection.name, name) == 0) {
            return redirection.counting;
        }
    }
    return nullptr;
}

// Points the program's import slots of the listed calls at their counting versions.
int RedirectImports() {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int redirected = 0;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name != 0; ++module) {
        const std::string name = reinterpret_cast<const char*>(base + module->Name);
        if (lstrcmpiA(name.c_str(), "gdi32.dll") != 0 && lstrcmpiA(name.c_str(), "user32.dll") != 0) {
            continue;
        }
        auto* byName = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; byName->u1.AddressOfData != 0; ++byName, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(byName->u1.Ordinal)) {
                continue;
            }
            auto* import = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + byName->u1.AddressOfData);
            void* counting = CountingVersion(reinterpret_cast<const char*>(import->Name));
            if (counting == nullptr) {
                continue;
            }
            DWORD oldProtection;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &oldProtection);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(counting);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, oldProtection, &oldProtection);
            ++redirected;
        }
    }
    return redirected;
}

} // namespace

GdiCounter::GdiCounter() {
    Redirected();
    std::lock_guard<std::mutex> hold(g_lock);
    g_live.clear();
}

long GdiCounter::Live() const {
    std::lock_guard<std::mutex> hold(g_lock);
    return static_cast<long>(g_live.size());
}

int GdiCounter::Redirected() {
    static const int redirected = RedirectImports();
    return redirected;
}

DWORD SystemGdiObjects() {
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}
