// What every page of the wizard does as it opens, and the minimize that a modeless page passes on.
#include "ui/pages.h"

#include "startup/process_state.h"
#include "ui/background_window.h"
#include "ui/resources/resource_ids.h"
#include "ui/wizard_bitmap.h"

void OpenPage(HWND page, const char* caption, bool hasBitmapFrame) {
    if (hasBitmapFrame) {
        // The frame's sunken edge stays visible around the bitmap.
        GetControlRect(page, IDC_BITMAP_FRAME, &BitmapRect);
        InflateRect(&BitmapRect, -1, -1);
    }
    HICON icon = LoadIconA(ModuleInstance, MAKEINTRESOURCEA(IDI_MODULE));
    SendMessageA(page, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SetWindowTextA(page, caption);
    SetDlgItemTextA(page, IDC_WIZARD_STAMP, WizardStampValue);
}

INT_PTR BitmapFrameColour(HWND control) {
    if (GetDlgCtrlID(control) != IDC_BITMAP_FRAME) return 0;
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

INT_PTR ForwardMinimize(UINT command, LPARAM lParam) {
    // The background window minimizes and hides its pages with it; the page itself stays as it is.
    SendMessageA(BackgroundWindow, WM_SYSCOMMAND, command, lParam);
    return TRUE;
}
