// What the background window offers pages and workers: its handle, the page switch and the worker
// start. Kept apart from its procedure so that code which only starts workers does not bring in the
// pages.
#include "common/process_state.h"
#include "ui/background_window.h"
#include "common/wizard_state.h"

HWND BackgroundWindow = nullptr;
int ReturnedFromFolder = 0;

HWND ShowPage(int templateId, DLGPROC procedure, LPARAM parameter) {
    HWND page = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(templateId), BackgroundWindow, procedure,
                                   parameter);
    CurrentPage = page;
    return page;
}

HANDLE StartWorker(LPTHREAD_START_ROUTINE routine) {
    // Suspended first, so that the handle exists before the worker can run and end.
    HANDLE thread = CreateThread(nullptr, 0, routine, nullptr, CREATE_SUSPENDED, nullptr);
    if (thread != nullptr) ResumeThread(thread);
    return thread;
}
