// Owners of system handles whose life is one scope: each gives back what it holds when the scope ends.
#pragma once

#include <windows.h>
#include <shlobj.h>

// One owner for every handle that is a plain value with one "nothing" value and one closing call.
// put() closes what is held and hands the slot to a call that fills it; release() gives the handle up.
// Closing is always inlined: after an explicit reset() the destructor's check then folds away, which
// keeps the module as small as the hand-written closes were.
template <typename Kind>
class Scoped {
  public:
    using Handle = typename Kind::Handle;
    Scoped() = default;
    explicit Scoped(Handle handle) : handle_(handle) {}
    __attribute__((always_inline)) ~Scoped() { reset(); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

    Handle get() const { return handle_; }
    bool valid() const { return handle_ != Kind::None(); }
    Handle* put() {
        reset();
        return &handle_;
    }
    Handle release() {
        Handle handle = handle_;
        handle_ = Kind::None();
        return handle;
    }
    __attribute__((always_inline)) void reset(Handle handle = Kind::None()) {
        if (valid()) Kind::Close(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = Kind::None();
};

// Item lists come from the shell's allocator: on the 95 family it is the shell's own, not COM's. Not
// inlined, so that one copy serves every owner.
__attribute__((noinline)) inline void FreeItemList(LPITEMIDLIST list) {
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator != nullptr) {
        allocator->Free(list);
        allocator->Release();
    }
}

// The two "nothing" values: files and searches fail with INVALID_HANDLE_VALUE, everything else with
// nullptr (threads, processes, tokens, mappings, keys, GDI objects, DCs, item lists, libraries).
template <typename Type, auto Closer>
struct NullIsNone {
    using Handle = Type;
    static Type None() { return nullptr; }
    static void Close(Type handle) { Closer(handle); }
};
template <auto Closer>
struct InvalidIsNone {
    using Handle = HANDLE;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { Closer(handle); }
};

using ScopedFile = Scoped<InvalidIsNone<CloseHandle>>;
using ScopedFind = Scoped<InvalidIsNone<FindClose>>;
using ScopedHandle = Scoped<NullIsNone<HANDLE, CloseHandle>>;
using ScopedKey = Scoped<NullIsNone<HKEY, RegCloseKey>>;
template <typename Object>
using ScopedGdiObject = Scoped<NullIsNone<Object, DeleteObject>>;
// A DC of CreateCompatibleDC; a window's DC from GetDC is ScopedWindowDc.
using ScopedMemoryDc = Scoped<NullIsNone<HDC, DeleteDC>>;
using ScopedItemList = Scoped<NullIsNone<LPITEMIDLIST, FreeItemList>>;
using ScopedLibrary = Scoped<NullIsNone<HMODULE, FreeLibrary>>;

// A window's DC, given back to the window.
class ScopedWindowDc {
  public:
    explicit ScopedWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedWindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// An object selected into a DC until the scope ends, when the DC gets its previous object back. Declare
// it after the owner of the object, so that the object is out of the DC before it is deleted. Not for
// regions: SelectObject returns no previous region.
class ScopedSelection {
  public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelection() { SelectObject(dc_, previous_); }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A COM interface pointer, released once.
template <typename Interface>
class ScopedComPtr {
  public:
    ScopedComPtr() = default;
    ~ScopedComPtr() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;
    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    Interface** put() {
        if (pointer_ != nullptr) pointer_->Release();
        pointer_ = nullptr;
        return &pointer_;
    }

  private:
    Interface* pointer_ = nullptr;
};
