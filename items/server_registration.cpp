// Self-registration of COM servers and registration of type libraries, now or recorded for the run
// after the restart.
#include "items/server_registration.h"

#include <windows.h>

#include <oleauto.h>
#include <string.h>

#include "common/message_box.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "items/library_loading.h"
#include "script/settings.h"
#include "common/working_files_state.h"
#include "common/wizard_state.h"

long DeferredServers = 0;
long DeferredTypeLibraries = 0;

void ShowRegistrationError(const char* path) {
    ShowWorkMessage(MessageId::ErrorRegisteringFile, path, MB_OK | MB_ICONWARNING);
}

namespace {

// Writes the next numbered key of a deferred list in the end-install information file.
int Defer(const char* section, long* counter, const char* path) {
    char key[16];
    wsprintfA(key, "%ld", ++*counter);
    return WriteSetting(section, key, path, EndInstallFile);
}

}  // namespace

int RegisterServerFile(const char* path) {
    bool found = false;
    CallServerEntry(path, "DllRegisterServer", &found);  // called is registered, whatever it says
    if (!found) ShowRegistrationError(path);
    return found ? 1 : 0;
}

int RegisterTypeLibraryFile(const char* path) {
    bool registered = false;
    {
        LibraryLoadScope scope;
        WCHAR widePath[PathBufferSize];
        WidePath(path, widePath);
        ScopedComPtr<ITypeLib> library;
        if (SUCCEEDED(LoadTypeLib(widePath, library.put()))) {
            BSTR helpFile = nullptr;
            if (SUCCEEDED(library->GetDocumentation(-1, nullptr, nullptr, nullptr, &helpFile))) {
                // The library is registered with the folder of its help file. A bare file name has
                // no folder: taken as one, it would register the name itself as the help folder.
                WCHAR helpFolder[PathBufferSize] = {0};
                if (helpFile != nullptr && helpFile[0] != 0) {
                    char narrow[PathBufferSize];
                    if (WideCharToMultiByte(CP_ACP, 0, helpFile, -1, narrow, sizeof narrow, nullptr,
                                            nullptr) &&
                        strchr(narrow, '\\') != nullptr)
                        WidePath(FolderOf(narrow), helpFolder);
                }
                registered =
                    SUCCEEDED(RegisterTypeLib(library.get(), widePath, helpFolder[0] ? helpFolder : nullptr));
                SysFreeString(helpFile);
            }
        }
    }
    if (!registered) ShowRegistrationError(path);
    return registered ? 1 : 0;
}

int DeferServerRegistration(const char* path) { return Defer("RegisterServer", &DeferredServers, path); }

int DeferTypeLibraryRegistration(const char* path) {
    return Defer("RegisterTypeLibrary", &DeferredTypeLibraries, path);
}
