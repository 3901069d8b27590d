// The progress page: starts the file phase, shows where it installs and how far it has come, and lets
// the user abort it.
#include "ui/progress_page.h"

#include <atomic>

#include "common/message_box.h"
#include "common/messages.h"
#include "files/file_phase.h"
#include "files/rollback.h"
#include "script/path_variables.h"
#include "common/process_state.h"
#include "ui/background_window.h"
#include "ui/folder_page.h"
#include "ui/pages.h"
#include "common/private_messages.h"
#include "common/progress_report.h"
#include "ui/progress_bar.h"
#include "ui/resources/resource_ids.h"
#include "common/shorten_path.h"
#include "ui/wizard_bitmap.h"
#include "common/wizard_state.h"

namespace {

constexpr UINT_PTR StartTimer = 100;
// While the file phase runs, the page takes the worker's reports at this pace.
constexpr UINT_PTR ReportTimer = 101;
constexpr UINT ReportInterval = 50;

// From the start of the file phase until its UM_FILES_DONE.
std::atomic<int> AbortAllowed{0};
// The background window's close can reach the page while its abort question is open; one is enough.
bool Asking = false;
// The end of a file phase that arrives while the abort question is open (the question's own message
// loop delivers it) waits here for the answer: a Yes must still roll everything back, and the next step
// must not run, nor the page close, under the open question.
bool FilesDoneParked = false;
LPARAM ParkedResult = 0;
// Running total of the bytes the worker reported, wrapping like the 32-bit counter it is.
DWORD BytesDone = 0;

void InitProgress(HWND page) {
    OpenPage(page, ModuleCaption, true);
    RECT place;
    GetControlRect(page, IDC_PROGRESS_PLACE, &place);
    CreateProgressBar(ModuleInstance, page, place);  // without a bar the page still works

    char text[1024];
    wsprintfA(text, SelectText(MessageId::Installing), Title);
    SetDlgItemTextA(page, IDC_PROGRESS_TITLE, text);
    SetDlgItemTextA(page, IDC_PROGRESS_INSTRUCTIONS, SelectText(MessageId::ClickAbort));
    SetDlgItemTextA(page, IDC_INSTALLING_TO, SelectText(MessageId::InstallingTo));

    HWND folder = GetDlgItem(page, IDC_FOLDER_GROUP);
    RECT folderRect = {};
    GetWindowRect(folder, &folderRect);
    PathWidthLimit = folderRect.right - folderRect.left - 10;
    SetWindowTextA(folder, ShortenPathForControl(folder, InstallDir));

    SetDlgItemTextA(page, IDC_INSTALLING_ITEM, SelectText(MessageId::InstallingItem));
    SetDlgItemTextA(page, IDC_PROGRESS_LABEL, SelectText(MessageId::Progress));
    SetDlgItemTextA(page, IDC_ABORT, SelectText(MessageId::Abort));
    // Give the page time to show before the work begins.
    SetTimer(page, StartTimer, 500, nullptr);
}

// The file phase on its own thread; its end goes to the page that is current then.
DWORD WINAPI FilePhaseWorker(LPVOID) {
    const int result = RunFilePhase();
    WaitWhileWorkerHeld();
    if (HWND page = CurrentPage) SendMessageA(page, WM_USER, UM_FILES_DONE, result);
    return 0;
}

void ShowItem(HWND page, const char* item) {
    HWND control = GetDlgItem(page, IDC_CURRENT_ITEM);
    SetWindowTextA(control, ShortenPathForControl(control, item));
}

void ShowReports(HWND page) {
    char item[260];
    if (TakeReportedItem(item)) ShowItem(page, item);
    BytesDone += TakeReportedProgress();
    if (SpaceNeeded != 0) SetProgress(BytesDone, SpaceNeeded);
}

// The file phase has ended (lParam 1) or failed (0); the background window runs the next step while
// the worker waits for this send to return.
void FilesDone(LPARAM result) {
    if (result == 0) AbortFlag = 1;
    AbortAllowed = 0;
    SendMessageA(BackgroundWindow, WM_USER, UM_FILES_DONE, result);
}

void StartFilePhase(HWND page) {
    // Reset here rather than relying on the worker alone: the total belongs to this page.
    BytesDone = 0;
    ClearReports();
    HANDLE worker = StartWorker(FilePhaseWorker);
    if (worker == nullptr) {
        // Nothing was installed; ending as a failed file phase lets the background window close down.
        FilesDone(0);
        return;
    }
    CloseHandle(worker);  // the page reaches the worker only through WorkerHeld and AbortFlag
    if (SpaceNeeded == 0) SetProgress(1, 1);
    SetTimer(page, ReportTimer, ReportInterval, nullptr);
    AbortAllowed = 1;
}

void AskAbort(HWND page) {
    if (!AbortAllowed || Asking) return;
    Asking = true;
    // The worker holds at its next report while the question is open.
    WorkerHeld = 1;
    if (ShowMessage(page, SelectText(MessageId::AbortInstallQuestion),
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES)
        AbortFlag = 1;
    WorkerHeld = 0;
    Asking = false;
    if (FilesDoneParked) {
        FilesDoneParked = false;
        FilesDone(ParkedResult);
    }
}

INT_PTR HandlePrivate(HWND page, WPARAM code, LPARAM lParam) {
    switch (code) {
        case UM_FILES_DONE:
            // What the worker reported last is shown before the next step.
            KillTimer(page, ReportTimer);
            ShowReports(page);
            if (Asking) {
                FilesDoneParked = true;
                ParkedResult = lParam;
                return TRUE;
            }
            FilesDone(lParam);
            return TRUE;
        case UM_CLOSE_PAGE:
            DestroyProgressBar();
            DestroyWindow(page);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result;
    if (HandleFramedPage(page, message, lParam, &result)) return result;
    switch (message) {
        case WM_INITDIALOG:
            InitProgress(page);
            return FALSE;
        case WM_TIMER:
            if (LOWORD(wParam) == ReportTimer) {
                ShowReports(page);
                return TRUE;
            }
            if (LOWORD(wParam) != StartTimer) return FALSE;
            KillTimer(page, StartTimer);
            StartFilePhase(page);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDC_ABORT) return FALSE;
            SendMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE) return ForwardMinimize(wParam, lParam);
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                AskAbort(page);
                return TRUE;
            }
            return FALSE;
        case WM_USER:
            return HandlePrivate(page, wParam, lParam);
    }
    return FALSE;
}

DWORD WINAPI RollbackWorker(LPVOID) {
    Sleep(100);
    // The bar runs back to zero before anything goes, so that the user sees the rollback start.
    while (StepProgressBack()) Sleep(0);
    RollBackLoggedItems();
    RestartNeeded = 0;
    Sleep(100);
    PostMessageA(BackgroundWindow, WM_USER, UM_ROLLBACK_DONE, 0);
    return 0;
}
