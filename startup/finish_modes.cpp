// The two runs that complete an installation after the restart it needed: the finish run ("-i", from
// RunOnce) registers what had to wait for the restart and starts the post-install run ("~i"), which
// shows the finish page and carries out its choices.
#include <objbase.h>
#include <windows.h>

#include "common/child_processes.h"
#include "common/file_system.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/platform.h"
#include "common/process_state.h"
#include "common/scoped_handles.h"
#include "common/silent_run.h"
#include "common/strings.h"
#include "common/working_files_state.h"
#include "items/finishing_dialog.h"
#include "script/leading_members.h"
#include "script/settings.h"
#include "startup/modes.h"
#include "startup/working_files.h"
#include "ui/post_install_workers.h"
#include "ui/resources/resource_ids.h"

namespace {

// The file waited through the restart in the temporary folder. Read only when neither it nor its
// folder is a link that someone could have put in its place meanwhile.
int IsPlainFile(const char* path) {
    const DWORD file = GetAttributesQuiet(path);
    const DWORD folder = GetAttributesQuiet(FolderOf(path));
    return file != INVALID_FILE_ATTRIBUTES && folder != INVALID_FILE_ATTRIBUTES &&
           !(file & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
           !(folder & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The bitmap copy is read whole or not at all, and goes in either case.
void LoadWizardBitmapCopy() {
    char path[PathBufferSize];
    if (ReadSetting("Window", "WizardBitmap", nullptr, path, sizeof path, EndInstallFile) == nullptr ||
        IsBlank(path))
        return;
    {
        ScopedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD size = file.valid() ? GetFileSize(file.get(), nullptr) : INVALID_FILE_SIZE;
        if (size != INVALID_FILE_SIZE && size > 0) {
            WizardBitmap = static_cast<unsigned char*>(malloc(size));
            if (WizardBitmap != nullptr && ReadExact(file.get(), WizardBitmap, size)) {
                WizardBitmapSize = size;
            } else {
                free(WizardBitmap);
                WizardBitmap = nullptr;
            }
        }
    }
    DeleteFileA(path);
}

// The product, and whether the installation these runs complete was silent: then so are they.
void ReadRunSettings() {
    ReadProductSettings(EndInstallFile);
    SilentRun = ReadBoolSetting("General", "Silent", 0, EndInstallFile);
}

// The run's own working folder in the temporary folder goes once its last file is gone.
void RemoveEmptyWorkingFolder() {
    char folder[PathBufferSize];
    CopyBounded(sizeof folder, folder, FolderOf(EndInstallFile));
    if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, FileNameOf(folder), 3, "_kp", 3) == CSTR_EQUAL)
        RemoveFolder(folder);
}

}  // namespace

int RunFinishMode(const char* endInstallFile) {
    CopyBounded(sizeof EndInstallFile, EndInstallFile, endInstallFile);
    if (!IsNtPlatform()) DeleteWininitBak();
    if (FileExists(EndInstallFile) && IsPlainFile(EndInstallFile)) {
        ReadRunSettings();
        // Servers may want COM on the thread that registers them.
        const HRESULT com = CoInitialize(nullptr);
        if (SilentRun)
            PerformDeferredRegistrations();
        else
            DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_BUSY), nullptr, FinishingDialogProc, 0);
        if (SUCCEEDED(com)) CoUninitialize();
    }
    // The post-install run reports a missing file itself.
    char module[PathBufferSize];
    const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    if (length > 0 && length < sizeof module) {
        char arguments[PathBufferSize + 4];
        CopyBounded(sizeof arguments, arguments, "~i");
        AppendBounded(sizeof arguments, arguments, endInstallFile);
        RunProgram(module, arguments, 0);
    }
    return 0;
}

int RunPostInstallMode(const char* endInstallFile) {
    CopyBounded(sizeof EndInstallFile, EndInstallFile, endInstallFile);
    if (!FileExists(EndInstallFile) || !IsPlainFile(EndInstallFile)) {
        ShowMessage(nullptr, EnglishText::InstallInfoNotFound, MB_OK | MB_ICONERROR);
        return -1;
    }
    ReadRunSettings();
    LoadWizardBitmapCopy();

    const HRESULT com = CoInitialize(nullptr);
    FinishAfterRestart = 1;
    FinishWorker(nullptr);
    if (SUCCEEDED(com)) CoUninitialize();
    RemoveEmptyWorkingFolder();

    free(WizardBitmap);
    WizardBitmap = nullptr;
    WizardBitmapSize = 0;
    return 0;
}
