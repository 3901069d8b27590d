// The silent installation: the wizard's steps in its order, with the answers its pages would have been
// given by default, and no window. Any error message ends the run, after the rollback where there is one.
#include <windows.h>

#include "common/message_box.h"
#include "common/process_state.h"
#include "common/silent_run.h"
#include "common/strings.h"
#include "common/wizard_state.h"
#include "common/working_files_state.h"
#include "files/file_phase.h"
#include "files/rollback.h"
#include "script/path_variables.h"
#include "script/settings.h"
#include "startup/modes.h"
#include "ui/background_window.h"
#include "ui/folder_page.h"
#include "ui/post_install_workers.h"
#include "ui/system_items.h"

namespace {

// Another run of the same product looks for the background window by its class and caption; a silent
// run has one too, hidden, which ignores the request to come to the front.
LRESULT CALLBACK MarkerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOMMAND) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateRunMarker() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MarkerWndProc;
    windowClass.hInstance = ModuleInstance;
    windowClass.lpszClassName = BackgroundClassName;
    RegisterClassExA(&windowClass);
    return CreateWindowExA(0, BackgroundClassName, ModuleCaption, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           ModuleInstance, nullptr);
}

// The folder the caller chose, else the one the folder page would propose, through the page's checks.
int AcceptFolder(const char* chosen) {
    if (chosen[0] != '\0') {
        CopyBounded(sizeof InstallDir, InstallDir, chosen);
    } else {
        char setting[PathBufferSize], subfolder[PathBufferSize];
        ReadSetting("General", "DefInstallFolder", "", setting, sizeof setting, InstallInfoFile);
        ProposeInstallFolder(setting, InstallDir, subfolder);
    }
    SpaceNeeded = static_cast<DWORD>(ReadIntSetting("General", "SpaceNeeded", 0, InstallInfoFile));
    // Not typed by a person: a missing folder is created without asking.
    return CheckInstallFolder(nullptr, 0);
}

int InstallFiles() {
    LoopRunning = 1;
    if (!RunFilePhase()) AbortFlag = 1;
    if (!AbortFlag) return 1;
    RollBackLoggedItems();
    RestartNeeded = 0;
    return 0;
}

int Install(const char* folder) {
    if (SilentFailed) return SilentExit::Failed;
    if (!AcceptFolder(folder)) {
        // The levels of the folder that the check made before it failed go again.
        RollBackLoggedItems();
        return SilentExit::Failed;
    }
    LogResult("Folder", InstallDir);
    if (!InstallFiles()) return SilentExit::Failed;
    InstallSystemItems();
    if (!SilentFailed) RunSilentTool();
    if (RestartNeeded) {
        // The finish run at the next start of the system completes the installation, silently.
        LogResult("Restart", "needed");
        return SilentFailed ? SilentExit::Failed : SilentExit::RestartNeeded;
    }
    FinishAfterRestart = 1;  // no window waits for the end of the finish step
    FinishWorker(nullptr);
    return SilentFailed ? SilentExit::Failed : SilentExit::Done;
}

}  // namespace

int RunSilentInstall(const char* folder) {
    HWND marker = CreateRunMarker();
    const int code = Install(folder);
    if (marker != nullptr) DestroyWindow(marker);
    return code;
}
