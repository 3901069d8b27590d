// Loading a library quietly for its registration entries.
#include "items/library_loading.h"

#include "common/scoped_handles.h"
#include "common/strings.h"

LibraryLoadScope::LibraryLoadScope()
    : cursor_(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {
    mode_ = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

LibraryLoadScope::~LibraryLoadScope() {
    SetErrorMode(mode_);
    SetCursor(cursor_);
}

namespace {

using ServerEntry = HRESULT(STDAPICALLTYPE*)();

// A server may need DLLs of its own beside it, which the search restricted at start-up no longer finds:
// its folder is searched too, by the flags that came with the restriction, or before them by the
// altered search path. A path those refuse, not being a full path, loads as it always did.
HMODULE LoadServer(const char* path) {
    const bool restricted =
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories") != nullptr;
    HMODULE library =
        LoadLibraryExA(path, nullptr,
                       restricted ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
                                  : LOAD_WITH_ALTERED_SEARCH_PATH);
    return library != nullptr ? library : LoadLibraryA(path);
}

}  // namespace

HRESULT CallServerEntry(const char* path, const char* entry, bool* found) {
    LibraryLoadScope scope;
    *found = false;
    ScopedLibrary library(LoadServer(path));
    auto call = reinterpret_cast<ServerEntry>(
        reinterpret_cast<void*>(library.valid() ? GetProcAddress(library.get(), entry) : nullptr));
    if (call == nullptr) return E_FAIL;
    *found = true;
    // Many servers create COM objects while they register; the calling thread may have no COM yet. It
    // is given back before the library goes, which may still hold objects COM releases then.
    const HRESULT com = CoInitialize(nullptr);
    const HRESULT result = call();
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}

void WidePath(const char* path, WCHAR* wide) {
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, PathBufferSize)) wide[0] = 0;
    wide[PathBufferSize - 1] = 0;
}
