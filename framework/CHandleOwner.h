#pragma once
#include <windows.h>

// Owns one platform handle and closes it exactly once. Traits names the
// handle type, its empty value and how it is closed.
template <class Traits> class CHandleOwner {
  public:
    using Handle = typename Traits::Handle;

    CHandleOwner() = default;
    explicit CHandleOwner(Handle h) : handle(h) {}
    ~CHandleOwner() { Reset(); }
    CHandleOwner(const CHandleOwner&) = delete;
    CHandleOwner& operator=(const CHandleOwner&) = delete;
    CHandleOwner(CHandleOwner&& other) noexcept : handle(other.Detach()) {}
    CHandleOwner& operator=(CHandleOwner&& other) noexcept {
        if (this != &other)
            Reset(other.Detach());
        return *this;
    }

    Handle Get() const { return handle; }
    explicit operator bool() const { return handle != Traits::Empty(); }

    // For out-parameters of platform calls: releases what is held first.
    Handle* Receive() {
        Reset();
        return &handle;
    }
    Handle Detach() {
        Handle h = handle;
        handle = Traits::Empty();
        return h;
    }
    void Reset(Handle h = Traits::Empty()) {
        if (handle != Traits::Empty())
            Traits::Close(handle);
        handle = h;
    }

  private:
    Handle handle = Traits::Empty();
};

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};

struct FindTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};

struct HookTraits {
    using Handle = HHOOK;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { UnhookWindowsHookEx(h); }
};
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};

using CRegKeyOwner = CHandleOwner<RegKeyTraits>;
using CModuleOwner = CHandleOwner<ModuleTraits>;
using CKernelHandle = CHandleOwner<KernelHandleTraits>;
using CFileHandle = CHandleOwner<FileHandleTraits>;
using CHookOwner = CHandleOwner<HookTraits>;
using CFindHandle = CHandleOwner<FindTraits>;
using CGdiObjectOwner = CHandleOwner<GdiObjectTraits>;
