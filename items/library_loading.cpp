// Loading a library quietly for its registration entries.
#include "items/library_loading.h"

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
}

HRESULT CallServerEntry(const char* path, const char* entry, bool* found) {
    LibraryLoadScope scope;
    *found = false;
    HRESULT result = E_FAIL;
    if (HMODULE library = LoadLibraryA(path)) {
        if (auto call =
                reinterpret_cast<ServerEntry>(reinterpret_cast<void*>(GetProcAddress(library, entry)))) {
            *found = true;
            result = call();
        }
        FreeLibrary(library);
    }
    return result;
}

void WidePath(const char* path, WCHAR* wide) {
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, PathBufferSize)) wide[0] = 0;
    wide[PathBufferSize - 1] = 0;
}
