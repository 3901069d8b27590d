// The uninstall dialog: shows the worker's phases and progress, offers to abort, and asks to restart
// when files are left for the next start of the system.
#include "uninstall/uninstall_dialog.h"

#include "common/message_box.h"
#include "common/messages.h"
#include "common/private_messages.h"
#include "common/process_state.h"
#include "common/uninstall_state.h"
#include "common/wizard_state.h"
#include "ui/background_window.h"
#include "ui/pages.h"
#include "ui/progress_bar.h"
#include "ui/resources/resource_ids.h"
#include "ui/wizard_bitmap.h"
#include "uninstall/uninstall_phases.h"
#include "uninstall/uninstall_worker.h"

namespace {

// All on the dialog's thread.
int Started = 0;   // the Files phase has begun: from then on closing asks whether to abort
int Finished = 0;  // completed without abort: closing ends the dialog
bool Asking = false;
bool DoneParked = false;  // the worker's end arrived while the abort question was open
long Total = 0;
long Done = 0;

constexpr MessageId PhaseNames[] = {MessageId::Files, MessageId::Folders, MessageId::Shortcuts,
                                    MessageId::RegistryItems, MessageId::IniItems};

void Open(HWND dialog) {
    CurrentPage = dialog;
    Started = Finished = 0;
    Done = 0;
    OpenPage(dialog, ModuleCaption, true);
    HICON icon = LoadIconA(ModuleInstance, MAKEINTRESOURCEA(IDI_UNINSTALL));
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    char text[1024];
    wsprintfA(text, SelectText(MessageId::UninstallingItemsOf), Title);
    SetDlgItemTextA(dialog, IDC_UNINSTALL_HEADING, text);
    for (int i = 0; i < 5; ++i) SetDlgItemTextA(dialog, IDC_PHASE_NAME1 + 2 * i, SelectText(PhaseNames[i]));
    SetDlgItemTextA(dialog, IDC_UNINSTALL_BUTTON, SelectText(MessageId::UninstallAbort));

    RECT place;
    GetControlRect(dialog, IDC_PROGRESS_PLACE, &place);
    CreateProgressBar(ModuleInstance, dialog, place);  // without a bar the dialog still works
    Total = CountLoggedItems();
    if (HANDLE worker = StartWorker(UninstallWorker)) {
        CloseHandle(worker);  // the dialog reaches the worker only through WorkerHeld and UninstallAbort
    } else {
        UninstallAbort = 1;
        PostMessageA(dialog, WM_USER, UM_UNINSTALL_DONE, 0);
    }
}

void End(HWND dialog, INT_PTR result) {
    DestroyProgressBar();
    CurrentPage = nullptr;
    EndDialog(dialog, result);
}

void Completed(HWND dialog) {
    char text[1024];
    wsprintfA(text, SelectText(MessageId::UninstallCompleted), Title);
    SetDlgItemTextA(dialog, IDC_UNINSTALL_HEADING, text);
    SetDlgItemTextA(dialog, IDC_UNINSTALL_BUTTON, SelectText(MessageId::Ok));
    SetForegroundWindow(dialog);
    Finished = 1;
    if (!RestartNeeded) {
        MessageBeep(0);
        return;  // the user closes the dialog
    }
    if (ShowMessage(dialog, SelectText(MessageId::RestartToCompleteUninstall), MB_YESNO | MB_ICONQUESTION) ==
        IDYES) {
        RestartRequested = 1;
    } else {
        ShowMessage(dialog, SelectText(MessageId::UninstallCompletedAfterRestart), MB_OK | MB_ICONWARNING);
    }
    End(dialog, 1);
}

void WorkerDone(HWND dialog) {
    if (Asking) {
        DoneParked = true;
        return;
    }
    if (UninstallAbort) {
        End(dialog, 0);
    } else {
        Completed(dialog);
    }
}

void AskAbort(HWND dialog) {
    if (Finished) {
        End(dialog, 1);
        return;
    }
    // Before the Files phase the uninstall tool may still decide; nothing to abort yet.
    if (!Started || Asking) return;
    Asking = true;
    WorkerHeld = 1;  // the worker waits at its next step while the user decides
    if (ShowMessage(dialog, SelectText(MessageId::AbortUninstallQuestion),
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES)
        UninstallAbort = 1;
    WorkerHeld = 0;
    Asking = false;
    if (DoneParked) {
        DoneParked = false;
        WorkerDone(dialog);
    }
}

void ShowMarker(HWND dialog, int phase) {
    ShowWindow(GetDlgItem(dialog, IDC_PHASE_MARK1 + 2 * phase), SW_SHOW);
}

INT_PTR HandlePrivate(HWND dialog, WPARAM code) {
    switch (code) {
        case UM_ADD_PROGRESS:
            ++Done;
            if (Total > 0) SetProgress(Done, Total);
            return TRUE;
        case UM_PHASE_FILES:
            Started = 1;
            if (Total == 0) SetProgress(1, 1);
            ShowMarker(dialog, 0);
            return TRUE;
        case UM_PHASE_FOLDERS:
        case UM_PHASE_SHORTCUTS:
        case UM_PHASE_REGISTRY:
        case UM_PHASE_INI:
            ShowMarker(dialog, static_cast<int>((code - UM_PHASE_FILES) / 10));
            return TRUE;
        case UM_UNINSTALL_DONE:
            WorkerDone(dialog);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result;
    if (HandleFramedPage(dialog, message, lParam, &result)) return result;
    switch (message) {
        case WM_INITDIALOG:
            Open(dialog);
            return TRUE;
        case WM_COMMAND:
            // The button closes; Escape's cancel is ignored, as the dialog must not vanish mid-way.
            if (LOWORD(wParam) == IDC_UNINSTALL_BUTTON) SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            AskAbort(dialog);
            return TRUE;
        case WM_USER:
            return HandlePrivate(dialog, wParam);
    }
    return FALSE;
}
