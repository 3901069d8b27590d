// The process entry: sets the state every mode starts from and runs the mode the command line names.
#include <windows.h>

#include "common/message_box.h"
#include "common/messages.h"
#include "common/strings.h"
#include "startup/mode_dispatch.h"
#include "startup/modes.h"
#include "common/process_state.h"

namespace {

// Libraries the module loads later (COM servers' helpers, the version library) must come from the
// system folder, never from the folder a downloaded package was started in. Systems before the
// function existed don't have it; they keep their default search.
void RestrictLibrarySearch() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    RestrictLibrarySearch();
    ModuleInstance = instance;
    LanguageFlag = 1;
    CopyBounded(sizeof ModuleCaption, ModuleCaption, CommonText::StartCaption);

    char argument[PathBufferSize];
    ArgumentOf(commandLine, argument);
    switch (ModeOf(commandLine)) {
        case Mode::Install:
            return RunInstallMode(argument);
        case Mode::Finish:
            return RunFinishMode(argument);
        case Mode::PostInstall:
            return RunPostInstallMode(argument);
        case Mode::Uninstall:
            return RunUninstallMode(argument);
        case Mode::UninstallCleanup:
            return RunUninstallCleanupMode(argument);
        case Mode::Bootstrap:
            break;
    }
    return RunBootstrapMode(commandLine);
}
