// The post-install actions: the silent tool right after the system items, then the finish page and
// what the user chose on it.
#include "ui/post_install_workers.h"

#include <shellapi.h>

#include "common/child_processes.h"
#include "common/file_system.h"
#include "common/paths.h"
#include "common/private_messages.h"
#include "common/process_state.h"
#include "common/silent_run.h"
#include "common/strings.h"
#include "common/wizard_state.h"
#include "common/working_files_state.h"
#include "script/path_variables.h"
#include "script/settings.h"
#include "ui/background_window.h"
#include "ui/pages.h"
#include "ui/resources/resource_ids.h"

std::atomic<int> FinishAfterRestart{0};

namespace {

// The shell opens what it is given: a folder in a window, a document in its program, an address in
// the browser. Its result is not looked at: a failure is the shell's to report.
void Open(const char* target, const char* arguments, const char* folder) {
    ShellExecuteA(nullptr, nullptr, target, arguments, folder, SW_SHOWNORMAL);
}

void OpenProgramGroup() {
    char folder[PathBufferSize];
    if (ReadSetting("General", "ProgramGroupFolder", nullptr, folder, sizeof folder, EndInstallFile) ==
            nullptr ||
        !FolderExists(folder))
        return;
    AppendBackslash(folder);
    Open(folder, nullptr, nullptr);
}

void ShowInformation() {
    char path[PathBufferSize];
    if (ViewInformationChosen &&
        ReadSetting("Info", "PostInfoPath", nullptr, path, sizeof path, EndInstallFile) != nullptr)
        Open(path, nullptr, nullptr);
}

// A program that is not where the path says is left to the shell's search by its file name.
void RunApplication() {
    char path[PathBufferSize];
    if (!RunApplicationChosen ||
        ReadSetting("Run", "RunAppPath", nullptr, path, sizeof path, EndInstallFile) == nullptr)
        return;
    char arguments[PathBufferSize];
    ReadSetting("Run", "RunAppArg", "", arguments, sizeof arguments, EndInstallFile);
    char folder[PathBufferSize];
    CopyBounded(sizeof folder, folder, FolderOf(path));
    Open(FileExists(path) ? path : FileNameOf(path), arguments, FolderExists(folder) ? folder : nullptr);
}

}  // namespace

void RunSilentTool() {
    char tool[PathBufferSize];
    if (ReadSetting("Run", "SilentToolPath", nullptr, tool, sizeof tool, InstallInfoFile) == nullptr) return;
    ExpandPathVariables(tool);
    char arguments[PathBufferSize];
    ReadSetting("Run", "SilentToolArg", "", arguments, sizeof arguments, InstallInfoFile);
    ExpandPathVariables(arguments);
    // The backdrop stays; only the page makes way for the tool's own windows.
    if (ReadBoolSetting("Run", "HideWizardWindow", 0, InstallInfoFile)) ShowWindow(CurrentPage, SW_HIDE);
    RunProgram(tool, arguments, 1);
    if (ReadBoolSetting("Run", "DeleteSilentTool", 0, InstallInfoFile)) DeleteFileA(tool);
}

DWORD WINAPI SilentToolWorker(LPVOID) {
    Sleep(1000);
    RunSilentTool();
    PostMessageA(BackgroundWindow, WM_USER, UM_TOOL_DONE, 0);
    return 0;
}

DWORD WINAPI FinishWorker(LPVOID) {
    // A silent installation ends without the page and its actions.
    if (!SilentRun) {
        HWND owner = FinishAfterRestart ? nullptr : BackgroundWindow;
        DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_FINISH), owner, FinishPageProc, 0);
        OpenProgramGroup();
        ShowInformation();
        RunApplication();
    }
    FlushSettings(EndInstallFile);
    DeleteFileA(EndInstallFile);
    if (!FinishAfterRestart) PostMessageA(BackgroundWindow, WM_USER, UM_FINISH_DONE, 0);
    return 0;
}
