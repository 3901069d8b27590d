// The finish page: the end of the installation and the choice of the post-install actions.
#include <windows.h>

#include "common/message_box.h"
#include "common/messages.h"
#include "script/settings.h"
#include "common/process_state.h"
#include "common/working_files_state.h"
#include "ui/pages.h"
#include "ui/resources/resource_ids.h"

int RunApplicationChosen = 0;
int ViewInformationChosen = 0;

namespace {

// Only the first five characters count, so "https:" is not a home page here.
bool IsHttpAddress(const char* path) {
    const char* prefix = "http:";
    for (int i = 0; i < 5; ++i) {
        char c = path[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

// A box the user may not uncheck stays hidden; checked, its action still happens.
void OfferAction(HWND page, int controlId, const char* label, bool allowCancel) {
    if (allowCancel) {
        SetDlgItemTextA(page, controlId, label);
        ShowWindow(GetDlgItem(page, controlId), SW_SHOW);
    }
    CheckDlgButton(page, controlId, BST_CHECKED);
}

void InitFinish(HWND page) {
    OpenPage(page, ModuleCaption, true);
    char text[1024];
    wsprintfA(text, SelectText(MessageId::InstallationCompleted), Title);
    SetDlgItemTextA(page, IDC_COMPLETED, text);

    // The end-install information carries these keys into the run after a restart as well.
    char value[260];
    if (ReadSetting("Run", "RunAppPath", nullptr, value, sizeof value, EndInstallFile) != nullptr) {
        OfferAction(page, IDC_RUN_APPLICATION, SelectText(MessageId::RunApplication),
                    ReadBoolSetting("Run", "AllowCancelRunApp", 1, EndInstallFile));
    }
    if (ReadSetting("Info", "PostInfoPath", nullptr, value, sizeof value, EndInstallFile) != nullptr) {
        MessageId label = IsHttpAddress(value) ? MessageId::GoToHomePage : MessageId::ViewInformation;
        OfferAction(page, IDC_VIEW_INFORMATION, SelectText(label),
                    ReadBoolSetting("Info", "AllowCancelPostInfo", 1, EndInstallFile));
    }
    SetDlgItemTextA(page, IDC_OK, SelectText(MessageId::Ok));
    // The page comes from a worker thread at the end of a long wait: make sure it is seen and heard.
    SetForegroundWindow(page);
    MessageBeep(MB_OK);
}

void EndFinish(HWND page) {
    RunApplicationChosen = IsDlgButtonChecked(page, IDC_RUN_APPLICATION) == BST_CHECKED ? 1 : 0;
    ViewInformationChosen = IsDlgButtonChecked(page, IDC_VIEW_INFORMATION) == BST_CHECKED ? 1 : 0;
    EndDialog(page, 0);
}

}  // namespace

INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result;
    if (HandleFramedPage(page, message, lParam, &result)) return result;
    switch (message) {
        case WM_INITDIALOG:
            InitFinish(page);
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDC_OK) return FALSE;
            EndFinish(page);
            return TRUE;
        case WM_SYSCOMMAND:
            // Closing the page is taken as Ok: the installation is complete either way.
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            EndFinish(page);
            return TRUE;
    }
    return FALSE;
}
