// The process entry: sets the state every mode starts from and runs the mode the command line names.
#include <windows.h>

#include "common/message_box.h"
#include "common/messages.h"
#include "common/strings.h"
#include "startup/mode_dispatch.h"
#include "startup/modes.h"
#include "startup/process_state.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
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
    return RunBootstrapMode();
}
