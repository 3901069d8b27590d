// The welcome page: the first page of the wizard, Next or Cancel.
#include <windows.h>

#include "common/message_box.h"
#include "common/messages.h"
#include "common/process_state.h"
#include "ui/background_window.h"
#include "ui/pages.h"
#include "common/private_messages.h"
#include "ui/resources/resource_ids.h"

namespace {

// The background window shows the next page during the send; only then does this one go.
void CloseWelcome(HWND page, LPARAM result) {
    SendMessageA(BackgroundWindow, WM_USER, UM_WELCOME_DONE, result);
    DestroyWindow(page);
}

void InitWelcome(HWND page) {
    OpenPage(page, ModuleCaption, true);
    char text[1024];
    wsprintfA(text, SelectText(MessageId::WelcomeWillInstall), Title);
    SetDlgItemTextA(page, IDC_WELCOME_TITLE, text);
    SetDlgItemTextA(page, IDC_WELCOME_ADVICE, SelectText(MessageId::WelcomeExitOthers));
    SetDlgItemTextA(page, IDC_WELCOME_INSTRUCTIONS, SelectText(MessageId::WelcomeClickNext));
    SetDlgItemTextA(page, IDC_NEXT, SelectText(MessageId::Next));
    SetDlgItemTextA(page, IDC_CANCEL, SelectText(MessageId::Cancel));
}

}  // namespace

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result;
    if (HandleFramedPage(page, message, lParam, &result)) return result;
    switch (message) {
        case WM_INITDIALOG:
            InitWelcome(page);
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_NEXT) {
                CloseWelcome(page, 1);
                return TRUE;
            }
            if (LOWORD(wParam) == IDC_CANCEL) {
                // Nothing is installed yet, so there is nothing to confirm.
                CloseWelcome(page, 0);
                return TRUE;
            }
            return FALSE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE) return ForwardMinimize(wParam, lParam);
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                CloseWelcome(page, 0);
                return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}
