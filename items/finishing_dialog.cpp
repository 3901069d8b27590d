// The finishing box: the registrations deferred to the run after the restart.
#include "items/finishing_dialog.h"

#include "common/messages.h"
#include "items/server_registration.h"
#include "script/settings.h"
#include "common/working_files_state.h"
#include "ui/resources/resource_ids.h"
#include "common/wizard_state.h"

namespace {

constexpr UINT_PTR StartTimer = 100;

// Performs the numbered entries of one section in order; the first missing number ends the list.
void PerformList(const char* section, int (*perform)(const char*)) {
    for (long number = 1;; ++number) {
        char key[16];
        wsprintfA(key, "%ld", number);
        char path[260];
        if (ReadSetting(section, key, nullptr, path, sizeof path, EndInstallFile) == nullptr) return;
        perform(path);
    }
}

}  // namespace

void PerformDeferredRegistrations() {
    PerformList("RegisterServer", RegisterServerFile);
    PerformList("RegisterTypeLibrary", RegisterTypeLibraryFile);
}

INT_PTR CALLBACK FinishingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            // Owner of the registration messages.
            CurrentPage = dialog;
            SetDlgItemTextA(dialog, IDC_BUSY_TEXT, SelectText(MessageId::FinishingInstallation));
            // The box shows first; the work waits for the timer.
            SetTimer(dialog, StartTimer, 1000, nullptr);
            return TRUE;
        case WM_TIMER:
            if (wParam != StartTimer) return FALSE;
            KillTimer(dialog, StartTimer);
            PerformDeferredRegistrations();
            EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
    }
}
