// The uninstall worker's sequence: tool, Files, Folders, Shortcuts, Registry Items, INI Items.
#include "uninstall/uninstall_worker.h"

#include "common/child_processes.h"
#include "common/private_messages.h"
#include "common/silent_run.h"
#include "common/strings.h"
#include "common/uninstall_state.h"
#include "common/wizard_state.h"
#include "common/working_files_state.h"
#include "items/uninstall_registration.h"
#include "script/install_log.h"
#include "script/log_records.h"
#include "script/settings.h"
#include "uninstall/uninstall_phases.h"

namespace {

// Lets the user see the dialog and its phases even for a small application.
constexpr DWORD Pause = 300;

void Tell(WPARAM code) {
    if (HWND dialog = CurrentPage) SendMessageA(dialog, WM_USER, code, 0);
}

// The worker's step: it waits while the abort question is open and stops once the user aborted.
int GoOn() {
    WaitWhileWorkerHeld();
    return !UninstallAbort;
}

void ItemDone() { Tell(UM_ADD_PROGRESS); }

const UninstallProgress Progress = {GoOn, ItemDone};

struct Phase {
    WPARAM message;
    int (*run)(const UninstallProgress&);
};
constexpr Phase Phases[] = {
    {UM_PHASE_FILES, RemoveFiles},         {UM_PHASE_FOLDERS, RemoveFolders},
    {UM_PHASE_SHORTCUTS, RemoveShortcuts}, {UM_PHASE_REGISTRY, RemoveRegistryItems},
    {UM_PHASE_INI, RemoveIniItems},
};

// 1 when every phase ran to its end.
int RunPhases() {
    for (const Phase& phase : Phases) {
        if (!GoOn()) return 0;
        Tell(phase.message);
        if (!phase.run(Progress)) return 0;
        if (phase.message == UM_PHASE_FILES) {
            // The folder list is for this run's folders only.
            if (!GoOn()) return 0;
            ClearFolderList();
        }
    }
    return GoOn();
}

// A silent run has no one to show the phases to.
void PauseForTheUser() {
    if (!SilentRun) Sleep(Pause);
}

}  // namespace

int RunUninstallTool() {
    char tool[PathBufferSize];
    if (ReadSetting("UninstallSilentTool", "Path", nullptr, tool, sizeof tool, InstallLogFile) == nullptr)
        return 1;
    char arguments[PathBufferSize];
    ReadSetting("UninstallSilentTool", "Arg", "", arguments, sizeof arguments, InstallLogFile);
    DWORD exitCode = 0;
    return !RunProgram(tool, arguments, 1, &exitCode) || exitCode == 0;
}

int RunUninstallation() {
    UninstallType = LoggedUninstallType();
    RewindFileList();
    PauseForTheUser();
    if (!RunUninstallTool()) {
        UninstallAbort = 1;
        return -1;
    }
    PauseForTheUser();
    if (!RunPhases()) {
        // What was removed stays removed; the entry keeps its name and command for another run.
        ClearFolderList();
        return 0;
    }
    DeleteRunOnceValue();
    if (RestartNeeded) {
        ScheduleUninstallAfterRestart();
    } else {
        DeleteUninstallEntry();
    }
    PauseForTheUser();
    return 1;
}

DWORD WINAPI UninstallWorker(LPVOID) {
    // A veto ends the dialog at once.
    if (RunUninstallation() != -1) Sleep(Pause);
    if (HWND dialog = CurrentPage) PostMessageA(dialog, WM_USER, UM_UNINSTALL_DONE, 0);
    return 0;
}
