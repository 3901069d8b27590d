// Removing the registrations of COM servers and type libraries at uninstallation and rollback.
#include <windows.h>

#include <oleauto.h>

#include "common/scoped_handles.h"
#include "common/strings.h"
#include "items/library_loading.h"
#include "items/server_registration.h"

int UnregisterServerFile(const char* path) {
    bool found = false;
    const HRESULT result = CallServerEntry(path, "DllUnregisterServer", &found);
    return found && SUCCEEDED(result) ? 1 : 0;
}

int UnregisterTypeLibraryFile(const char* path) {
    LibraryLoadScope scope;
    WCHAR widePath[PathBufferSize];
    WidePath(path, widePath);
    ScopedComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLib(widePath, library.put()))) return 0;
    bool done = false;
    TLIBATTR* attributes = nullptr;
    if (SUCCEEDED(library->GetLibAttr(&attributes))) {
        done = SUCCEEDED(UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum,
                                           attributes->wMinorVerNum, attributes->lcid, attributes->syskind));
        library->ReleaseTLibAttr(attributes);
    }
    return done ? 1 : 0;
}
