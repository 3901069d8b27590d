// The two uninstall runs: uninstall mode ("-U", from the list of installed programs or the uninstall
// shortcut) removes an installation through the uninstall dialog; the clean-up run ("-u", from RunOnce)
// finishes one that needed a restart.
#include <windows.h>

#include "archive/format.h"
#include "archive/uninstall_info_head.h"
#include "common/child_processes.h"
#include "common/file_system.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/platform.h"
#include "common/process_state.h"
#include "common/scoped_handles.h"
#include "common/silent_run.h"
#include "common/strings.h"
#include "common/uninstall_state.h"
#include "common/wizard_state.h"
#include "common/working_files_state.h"
#include "files/file_removal.h"
#include "items/uninstall_registration.h"
#include "script/settings.h"
#include "startup/modes.h"
#include "startup/uninstall_info_reader.h"
#include "startup/working_files.h"
#include "ui/resources/resource_ids.h"
#include "uninstall/uninstall_dialog.h"
#include "uninstall/uninstall_worker.h"

namespace {

int Refuse(const char* text) {
    ShowMessage(nullptr, text, MB_OK | MB_ICONERROR);
    return -1;
}

// Title and language from the file's head; the message to show when it cannot be used, else null.
const char* ReadHead() {
    ScopedFile file(CreateFileA(UninstallInfoPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return EnglishText::CantInitializeUninstall;
    unsigned char head[ArchiveFormat::UninstallArchiveOffset];
    DWORD read = 0;
    if (!ReadFile(file.get(), head, sizeof head, &read, nullptr)) read = 0;
    int language = 1;
    switch (ParseUninstallHead(head, read, Title, &language)) {
        case UninstallHeadOk:
            LanguageFlag = language;
            return nullptr;
        case UninstallHeadWrongSignature:
            return EnglishText::UninstallInfoWrongSignature;
        default:
            return EnglishText::UninstallInfoDamaged;
    }
}

void SetCaption(const char* prefix, const char* suffix) {
    CopyBounded(sizeof ModuleCaption, ModuleCaption, prefix);
    AppendBounded(sizeof ModuleCaption, ModuleCaption, Title);
    AppendBounded(sizeof ModuleCaption, ModuleCaption, suffix);
}

// Out of the install folder while the dialog runs, so that no phase meets it. A move can fail (the
// temporary folder on another drive, say): the file then stays where it is, and the sweep leaves it.
int ParkUninstallInfo() {
    SetAttributesQuiet(UninstallInfoPath, FILE_ATTRIBUTE_NORMAL);
    if (MoveFileA(UninstallInfoPath, ParkedUninstallInfo)) return 1;
    CheckHandled(UninstallInfoPath);
    return 0;
}

// After an uninstallation that did not complete, a later run must find the file where the entry says.
void PutBackUninstallInfo(int parked) {
    if (parked) MoveFileA(ParkedUninstallInfo, UninstallInfoPath);
    SetAttributesQuiet(UninstallInfoPath, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
}

// The file checked, its title and language read; the message to refuse it with, else null.
const char* CheckUninstallInfo(const char* uninstallInfoFile) {
    CopyBounded(sizeof UninstallInfoPath, UninstallInfoPath, uninstallInfoFile);
    if (!FileExists(UninstallInfoPath)) return EnglishText::UninstallInfoNotFound;
    return ReadHead();
}

// The uninstallation with the file parked; then the file deleted for good when it completed, put back
// when not, and the working files removed.
void Uninstall(int (*run)()) {
    const int parked = ParkUninstallInfo();
    if (run() != 1) {
        PutBackUninstallInfo(parked);
    } else if (!parked) {
        DeleteFileForce(UninstallInfoPath);
    }
    DeleteFileA(ParkedUninstallInfo);
    RemoveUninstallWorkFiles();
    ForgetHandledFiles();
}

int RunUninstallDialog() {
    return static_cast<int>(
        DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_UNINSTALL), nullptr, UninstallDialogProc, 0));
}

// What the silent run's uninstallation came to, as RunUninstallation tells it.
int SilentOutcome = 0;

int RunSilently() {
    SilentOutcome = RunUninstallation();
    return SilentOutcome;
}

}  // namespace

int RunUninstallMode(const char* uninstallInfoFile) {
    if (const char* problem = CheckUninstallInfo(uninstallInfoFile)) return Refuse(problem);

    SetCaption("", SelectText(MessageId::UninstallCaptionSuffix));
    if (ShowMessageAbout(nullptr, MessageId::UninstallQuestion, Title,
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return 0;
    if (LanguageFlag != 0) SetCaption(EnglishText::UninstallationOf, "");

    if (!ReadUninstallInfo()) return -1;
    ReadSetting("Window", "WizardStamp", "", WizardStampValue, sizeof WizardStampValue, InstallLogFile);
    Uninstall(RunUninstallDialog);
    if (RestartRequested) RestartSystem();
    return 0;
}

int RunSilentUninstall(const char* uninstallInfoFile) {
    if (const char* problem = CheckUninstallInfo(uninstallInfoFile)) {
        ShowMessage(nullptr, problem, MB_OK | MB_ICONERROR);
        return SilentExit::Failed;
    }
    SetCaption(EnglishText::UninstallationOf, "");
    if (!ReadUninstallInfo()) return SilentExit::Failed;
    // A shared file goes with its last user, and a file the installation did not write stays unless the
    // uninstall type says to delete it: no one is asked.
    SharedFileAnswer = 1;
    SweepAnswer = -1;
    Uninstall(RunSilently);
    if (SilentOutcome == -1) return SilentExit::Cancelled;
    if (SilentOutcome == 0 || SilentFailed) return SilentExit::Failed;
    if (!RestartNeeded) return SilentExit::Done;
    LogResult("Restart", "needed");
    return SilentExit::RestartNeeded;
}

int RunUninstallCleanupMode(const char* title) {
    CopyBounded(sizeof Title, Title, title);
    if (!IsNtPlatform()) DeleteWininitBak();
    FinishUninstallAfterRestart();
    return 0;
}
