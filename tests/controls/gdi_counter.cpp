#include "gdi_counter.h"

#include <algorithm>
#include <cstddef>
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

// A function or module name as a template argument.
template <std::size_t Length> struct Name {
    constexpr Name(const char (&name)[Length]) { std::copy_n(name, Length, text); }
    char text[Length];
};

// The real function, looked up by name once; each counting version calls its own.
template <Name Module, Name Function, class Signature> Signature Real() {
    static const auto real = reinterpret_cast<Signature>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(Module.text), Function.text)));
    return real;
}

// The counting version of a call that makes an object: the real call, then the object tracked.
template <Name Module, Name Function, class Signature> struct Making;
template <Name Module, Name Function, class Made, class... Args>
struct Making<Module, Function, Made(WINAPI*)(Args...)> {
    static Made WINAPI Call(Args... args) {
        const Made made = Real<Module, Function, Made(WINAPI*)(Args...)>()(args...);
        Track(made);
        return made;
    }
};

BOOL WINAPI CountDeleteObject(HGDIOBJ object) {
    Untrack(object);
    return Real<"gdi32.dll", "DeleteObject", decltype(&DeleteObject)>()(object);
}

BOOL WINAPI CountDeleteDC(HDC dc) {
    Untrack(dc);
    return Real<"gdi32.dll", "DeleteDC", decltype(&DeleteDC)>()(dc);
}

int WINAPI CountReleaseDC(HWND window, HDC dc) {
    Untrack(dc);
    return Real<"user32.dll", "ReleaseDC", decltype(&ReleaseDC)>()(window, dc);
}

struct Redirection {
    const char* name;
    void* counting;
};

template <Name Module, Name Function, class Signature> Redirection Counted() {
    return {Function.text, reinterpret_cast<void*>(&Making<Module, Function, Signature>::Call)};
}

const Redirection kRedirections[] = {
    Counted<"gdi32.dll", "CreateFontIndirectA", decltype(&CreateFontIndirectA)>(),
    Counted<"gdi32.dll", "CreateFontA", decltype(&CreateFontA)>(),
    Counted<"gdi32.dll", "CreateSolidBrush", decltype(&CreateSolidBrush)>(),
    Counted<"gdi32.dll", "CreatePen", decltype(&CreatePen)>(),
    Counted<"gdi32.dll", "CreateRectRgnIndirect", decltype(&CreateRectRgnIndirect)>(),
    Counted<"gdi32.dll", "CreateRectRgn", decltype(&CreateRectRgn)>(),
    Counted<"gdi32.dll", "CreateCompatibleBitmap", decltype(&CreateCompatibleBitmap)>(),
    Counted<"gdi32.dll", "CreateCompatibleDC", decltype(&CreateCompatibleDC)>(),
    {"DeleteObject", reinterpret_cast<void*>(CountDeleteObject)},
    {"DeleteDC", reinterpret_cast<void*>(CountDeleteDC)},
    Counted<"user32.dll", "GetWindowDC", decltype(&GetWindowDC)>(),
    Counted<"user32.dll", "GetDC", decltype(&GetDC)>(),
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

std::vector<LOGFONTA> GdiCounter::LiveFonts() const {
    std::lock_guard<std::mutex> hold(g_lock);
    std::vector<LOGFONTA> fonts;
    for (void* handle : g_live) {
        LOGFONTA font{};
        if (GetObjectType(handle) == OBJ_FONT && GetObjectA(handle, sizeof font, &font) == sizeof font) {
            fonts.push_back(font);
        }
    }
    return fonts;
}

int GdiCounter::Redirected() {
    static const int redirected = RedirectImports();
    return redirected;
}

std::optional<DWORD> SystemGdiObjects() {
    const DWORD objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return objects != 0 ? std::optional<DWORD>(objects) : std::nullopt;
}
