// The license/information page (one template, two modes) and the keyboard hook that scrolls its text
// while a button has the focus.
#include <windows.h>

#include "script/leading_members.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "ui/background_window.h"
#include "ui/pages.h"
#include "common/private_messages.h"
#include "ui/resources/resource_ids.h"

int LicenseAgreed = 0;

namespace {

// The open license/information page and what it holds; at most one page is open at a time, and the
// next one opens only after this one has released them.
HWND LicensePage = nullptr;
int PageMode = 0;  // 1 license, 0 information
HHOOK KeyHook = nullptr;
HBRUSH WhiteBrush = nullptr;

void ReleasePage() {
    if (KeyHook != nullptr) UnhookWindowsHookEx(KeyHook);
    if (WhiteBrush != nullptr) DeleteObject(WhiteBrush);
    KeyHook = nullptr;
    WhiteBrush = nullptr;
    LicensePage = nullptr;
}

void FocusLater(HWND page, int controlId) {
    // A focus set during WM_INITDIALOG or a click would be overridden by the dialog manager.
    PostMessageA(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(page, controlId)), TRUE);
}

// Released before the report: the page that the background window opens during the send may be a new
// license/information page that needs the hook and the brush itself.
void ClosePage(HWND page, LPARAM result) {
    WPARAM code = PageMode == 1 ? UM_LICENSE_DONE : UM_INFO_DONE;
    ReleasePage();
    SendMessageA(BackgroundWindow, WM_USER, code, result);
    DestroyWindow(page);
}

void InitLicensePage(HWND page, int mode) {
    LicensePage = page;
    PageMode = mode;
    // Hooks only this thread: a hook for every thread needs a DLL, and the pages run on this thread.
    KeyHook = SetWindowsHookExA(WH_KEYBOARD, LicenseKeyHook, nullptr, GetCurrentThreadId());
    WhiteBrush = CreateSolidBrush(RGB(255, 255, 255));

    char caption[1024];
    wsprintfA(caption, CommonText::PageCaption, ModuleCaption,
              SelectText(mode == 1 ? MessageId::License : MessageId::Information));
    OpenPage(page, caption, false);

    HWND secondButton = GetDlgItem(page, IDC_PREV);
    if (mode == 1) {
        SetWindowTextA(secondButton, SelectText(MessageId::IAgree));
        if (LicenseAgreed) {
            EnableWindow(secondButton, FALSE);
        } else {
            FocusLater(page, IDC_CANCEL);
            EnableWindow(GetDlgItem(page, IDC_NEXT), FALSE);
        }
    } else if (LicenseText != nullptr) {
        SetWindowTextA(secondButton, SelectText(MessageId::Prev));
        FocusLater(page, ReturnedFromFolder ? IDC_PREV : IDC_NEXT);
    } else {
        ShowWindow(secondButton, SW_HIDE);
    }
    SetDlgItemTextA(page, IDC_NEXT, SelectText(MessageId::Next));
    SetDlgItemTextA(page, IDC_CANCEL, SelectText(MessageId::Cancel));
    const char* text = mode == 1 ? LicenseText : InfoText;
    SetDlgItemTextA(page, IDC_TEXT, text != nullptr ? text : "");
}

void AgreeToLicense(HWND page) {
    EnableWindow(GetDlgItem(page, IDC_NEXT), TRUE);
    FocusLater(page, IDC_NEXT);
    EnableWindow(GetDlgItem(page, IDC_PREV), FALSE);
    LicenseAgreed = 1;
}

void CloseRequested(HWND page) {
    // Before the license was ever accepted there is nothing to lose by leaving.
    if (PageMode == 1 && !LicenseAgreed) {
        ClosePage(page, 0);
        return;
    }
    if (ShowMessage(page, SelectText(MessageId::AbortInstallQuestion),
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES)
        ClosePage(page, 0);
}

INT_PTR OnCommand(HWND page, int controlId) {
    switch (controlId) {
        case IDC_PREV:
            if (PageMode == 1) {
                AgreeToLicense(page);
            } else {
                ClosePage(page, 2);
            }
            return TRUE;
        case IDC_NEXT:
            // Next is disabled until I Agree; a command that arrives anyway must not pass the license.
            if (PageMode == 1 && !LicenseAgreed) return TRUE;
            ClosePage(page, 1);
            return TRUE;
        case IDC_CANCEL:
            SendMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK LicensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            InitLicensePage(page, static_cast<int>(lParam));
            return FALSE;
        case WM_COMMAND:
            return OnCommand(page, LOWORD(wParam));
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE) return ForwardMinimize(wParam, lParam);
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                CloseRequested(page);
                return TRUE;
            }
            return FALSE;
        case WM_CTLCOLORSTATIC:
            // The read-only text reads as a document: black on white, not on the dialog's grey.
            if (page == LicensePage && WhiteBrush != nullptr &&
                reinterpret_cast<HWND>(lParam) == GetDlgItem(page, IDC_TEXT)) {
                SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
                return reinterpret_cast<INT_PTR>(WhiteBrush);
            }
            return FALSE;
        case WM_DESTROY:
            // Destroyed from outside (the background window going away): nothing may outlive the page.
            if (page == LicensePage) ReleasePage();
            return FALSE;
    }
    return FALSE;
}

LRESULT CALLBACK LicenseKeyHook(int code, WPARAM wParam, LPARAM lParam) {
    HWND page = LicensePage;
    // HC_NOREMOVE is a peek at a key that will come again; acting on it would scroll twice.
    bool pressed = (static_cast<DWORD>(lParam) & 0x80000000u) == 0;
    if (code == HC_ACTION && page != nullptr && pressed && GetForegroundWindow() == page) {
        HWND text = GetDlgItem(page, IDC_TEXT);
        HWND focus = GetFocus();
        if (focus != text) {
            int scroll = -1;
            switch (wParam) {
                case VK_PRIOR:
                    scroll = SB_PAGEUP;
                    break;
                case VK_NEXT:
                    scroll = SB_PAGEDOWN;
                    break;
                case VK_UP:
                    scroll = SB_LINEUP;
                    break;
                case VK_DOWN:
                    scroll = SB_LINEDOWN;
                    break;
            }
            if (scroll >= 0) {
                SendMessageA(text, EM_SCROLL, scroll, 0);
                CallNextHookEx(KeyHook, code, wParam, lParam);
                return 1;
            }
            // The arrow would carry the focus on from Cancel, past the end of the buttons.
            if (wParam == VK_RIGHT && focus == GetDlgItem(page, IDC_CANCEL)) {
                CallNextHookEx(KeyHook, code, wParam, lParam);
                return 1;
            }
        }
    }
    return CallNextHookEx(KeyHook, code, wParam, lParam);
}
